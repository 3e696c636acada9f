#pragma once
#include "app/EditDeviceFunction.h"

namespace pelmora {

// A fresh edit dialog for one EditDevice call, destroyed afterwards.
bool EditWithDialog(DeviceRecord* record, DeviceSet* devices);

}  // namespace pelmora
