#pragma once
// Whether a write took: what was written against what the device reports afterwards, setting by
// setting. Serves a plan's devices and the single-device edit alike.
#include <vector>

#include "devices/DeviceSettings.h"
#include "devices/PlanSettings.h"
#include "protocol/DeviceRecord.h"

namespace pelmora {

// The written settings that the device reports otherwise, in ALL_SETTINGS order; empty: confirmed. Only
// what the write carried counts: no address with DHCP on (the address is whatever DHCP gave), no blank
// address, no station 0:0, no port 0. Texts count as the device reports them, cut to 63 characters.
std::vector<Setting> DifferingSettings(const DeviceSettings& written, const DeviceRecord& seen);

}  // namespace pelmora
