#pragma once
// The in-memory description of one discovered device, filled from its discovery reply.
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/ElementList.h"

namespace pelmora {

constexpr std::size_t MAX_TEXT_CHARACTERS = 63;

struct DeviceRecord {
    std::uint8_t mac[6] = {};
    float tag3Real = 0.0f;
    std::uint8_t ipAddress[4] = {};
    std::uint8_t subnetMask[4] = {};
    std::uint8_t gateway[4] = {};
    std::uint8_t dnsServers[8] = {};  // interleaved: byte 2k octet k of the first, 2k+1 of the second
    std::int32_t dhcp = 0;
    std::uint8_t pla = 0;
    std::uint8_t ela = 0;
    std::uint16_t tag6Word = 0;
    std::uint16_t tag35Word = 0;
    std::uint32_t tag5Number = 0;
    std::uint32_t featureFlags = 0;
    std::string tag102Text;  // texts: UTF-8, at most 63 characters
    std::string description;
    std::int32_t deviceId = 0;
    std::uint16_t bacnetPort = 0;
    std::string deviceName;
    std::string location;
    std::string bbmdAddress;
    std::uint32_t debugFlags = 0;
    std::uint32_t revision = 0;
};

// Fills the record from a discovery reply's element list; a malformed list leaves it untouched.
void ParseDeviceRecord(DeviceRecord& record, const ElementList& list);

}  // namespace pelmora
