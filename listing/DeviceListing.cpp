#include "listing/DeviceListing.h"

#include "listing/ShownText.h"

namespace pelmora {

DeviceListing ListDevices(const DeviceStore& store, ListedTexts texts) {
    DeviceListing listing;
    listing.rows.reserve(store.Count());
    for (std::size_t i = 0; i < store.Count(); ++i) {
        RowText& row = listing.rows.emplace_back(RowTexts(*store.RecordAt(static_cast<long>(i))));
        if (texts == ListedTexts::Shown)
            for (std::string& text : row) text = ShownText(text);
    }
    listing.warnings = FindDuplicates(store);
    return listing;
}

}  // namespace pelmora
