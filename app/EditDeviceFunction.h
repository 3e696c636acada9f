#pragma once
// How the main window opens the edit dialog: for the record (or none) with the window's device set; true
// when the user saved. The program's start-up supplies one that runs the edit dialog.
#include <functional>

#include "devices/DeviceSet.h"
#include "protocol/DeviceRecord.h"

namespace pelmora {

using EditDeviceFunction = std::function<bool(DeviceRecord* record, DeviceSet* devices)>;

}  // namespace pelmora
