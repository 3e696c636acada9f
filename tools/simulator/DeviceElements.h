#pragma once
// A simulated device's settings on the wire: the element list of its discovery reply, and the
// configuration write that changes them.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/ElementList.h"
#include "tools/simulator/DeviceGenerator.h"
#include "tools/simulator/SimDevice.h"

namespace pelmora {

// Tags 1, 34, 36, 64-69, 102, 106, 105 and, for a BACnet device, 124, 126, 103, 129, 127, 128, 130;
// then the device's extra elements.
ElementList BuildReplyList(const SimDevice& device);
std::vector<std::uint8_t> BuildReplyPayload(const SimDevice& device);  // 00 03 and the list

// What one configuration write says; absent elements leave their field empty.
struct WriteSettings {
    MacAddress mac{};
    std::optional<Ipv4Octets> ip, mask, gateway, dns;
    std::optional<std::string> text102, description, name, bbmd, location;
    std::optional<std::pair<std::uint8_t, std::uint8_t>> station;  // PLA, ELA
    std::optional<bool> dhcp;
    std::optional<std::int32_t> deviceId;
    std::optional<std::uint16_t> port;
    std::optional<std::uint32_t> debug;
    std::vector<std::uint8_t> tags;                              // every tag, in order
    std::vector<std::pair<std::uint8_t, std::uint8_t>> ignored;  // unknown tag or wrong length
};

// Decodes the element list of a write (payload bytes 2 on). False with a reason when the list is
// malformed or has no MAC element (tag 1, length 6).
bool DecodeConfigWrite(const std::uint8_t* list, std::size_t size, WriteSettings& settings, std::string& reason);

// Applies a decoded write. When it turns DHCP on without any address element, the device takes the
// lease when one is given and otherwise keeps its address. True when the device took a lease.
bool ApplyConfigWrite(SimDevice& device, const WriteSettings& settings, const Ipv4Prefix* lease);

}  // namespace pelmora
