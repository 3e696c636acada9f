#pragma once
// One device's settings as the edit dialogs show them and the configuration write sends them.
#include <cstdint>
#include <optional>
#include <string>

#include "base/Ipv4.h"
#include "protocol/ConfigPayload.h"
#include "protocol/DeviceRecord.h"
#include "protocol/MacAddress.h"

namespace pelmora {

// The wait after a write while the device restarts: longer when it moves from a fixed address to DHCP.
constexpr int FIXED_TO_DHCP_WAIT_SECONDS = 35;
constexpr int RESTART_WAIT_SECONDS = 20;
constexpr int RestartWaitSeconds(bool dhcpBefore, bool dhcpAfter) {
    return !dhcpBefore && dhcpAfter ? FIXED_TO_DHCP_WAIT_SECONDS : RESTART_WAIT_SECONDS;
}

struct DeviceSettings {
    // Which device, and where it answers now: the write's first destination. The write never changes them.
    MacBytes mac{};
    Ipv4Host currentAddress;

    bool dhcp = false;
    // Nothing stands for a blank address control, which the write leaves out.
    std::optional<Ipv4Host> address;
    std::optional<Ipv4Host> subnetMask;
    std::optional<Ipv4Host> gateway;
    std::optional<Ipv4Host> dns;
    // Below 0 or DEVICE_ID_LIMIT and up, the write sends the factory default, -1.
    std::int32_t deviceId = FACTORY_DEFAULT_DEVICE_ID;
    std::string name;  // texts: UTF-8
    std::string location;
    std::string description;
    bool foreignDevice = false;
    std::string bbmdAddress;  // kept while foreign-device registration is off, but then not sent
    std::uint8_t pla = 254;
    std::uint8_t ela = 254;
    std::uint16_t port = 47808;  // 0: not sent
    bool debug = false;
};

MacBytes MacOf(const DeviceRecord& record);

// The record's settings as the edit dialog opens with them: every address filled in, the first DNS
// server, any negative device ID as the factory default, foreign-device registration on when the record
// has a BBMD address, debug from bit 0 of the debug flags.
DeviceSettings SettingsFromRecord(const DeviceRecord& record);

// The values the configuration write reads (see BuildConfigPayload).
ConfigFields FieldsForWrite(const DeviceSettings& settings);

}  // namespace pelmora
