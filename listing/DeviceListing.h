#pragma once
// The device list as both front ends show it: every row's nine texts and its duplicate warnings.
#include <vector>

#include "listing/Duplicates.h"
#include "listing/RowTexts.h"
#include "protocol/DeviceStore.h"

namespace pelmora {

struct DeviceListing {
    RowTextList rows;
    std::vector<RowWarnings> warnings;  // one per row
};

// Which texts a listing holds: as shown to a person (ShownText: the window, the table, CSV), or exactly as
// the devices sent them (JSON, which escapes what could mislead a reader).
enum class ListedTexts { Shown, Exact };

// The listing of every record of the store, in row order.
DeviceListing ListDevices(const DeviceStore& store, ListedTexts texts = ListedTexts::Shown);

}  // namespace pelmora
