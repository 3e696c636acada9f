#include "listing/DeviceListing.h"

namespace pelmora {

DeviceListing ListDevices(const DeviceStore& store) {
    DeviceListing listing;
    listing.rows.reserve(store.Count());
    for (std::size_t i = 0; i < store.Count(); ++i)
        listing.rows.push_back(RowTexts(*store.RecordAt(static_cast<long>(i))));
    listing.warnings = FindDuplicates(store);
    return listing;
}

}  // namespace pelmora
