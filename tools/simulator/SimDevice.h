#pragma once
// The settings of one simulated device, as its discovery reply reports them and a write changes them.
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Ipv4.h"
#include "protocol/MacAddress.h"
#include "tools/simulator/FaultKind.h"

namespace pelmora {

using MacAddress = std::array<std::uint8_t, 6>;

enum class ReplyMode { Auto, Unicast, Broadcast, None };

struct SimDevice {
    MacAddress mac{};
    Ipv4Octets ip;
    Ipv4Octets mask;
    Ipv4Octets gateway;
    Ipv4Octets dns1;
    Ipv4Octets dns2;
    bool dhcp = false;
    std::uint32_t featureFlags = 0;  // 0x10: BACnet
    std::int32_t deviceId = -1;      // -1: factory default
    std::string name;                // texts are UTF-8
    std::string text102;
    std::string description;
    std::string location;
    std::string bbmd;
    std::uint16_t bacnetPort = 47808;
    std::uint8_t pla = 0;
    std::uint8_t ela = 0;
    std::uint32_t debugFlags = 0;
    std::uint32_t revision = 0x01000000;      // four one-byte parts, most significant first
    std::vector<std::uint8_t> extraElements;  // raw bytes appended to the reply's element list
    bool replyModeSet = false;                // false: the simulator's --reply mode applies
    ReplyMode replyMode = ReplyMode::Auto;
    FaultKind fault = FaultKind::None;  // this device's reply is sent broken in this way
    bool ignoresWrites = false;         // logs writes and applies none
    // The restart silence after a write it takes, instead of --restart-silence; negative: that one.
    std::chrono::milliseconds restartSilence{-1};
};

bool HasBacnet(const SimDevice& device);
bool ParseMac(const std::string& text, MacAddress& mac);  // colon form or 12 hex digits
// True when the device's own subnet (ip & mask) contains the address.
bool SubnetContains(const SimDevice& device, Ipv4Octets address);

}  // namespace pelmora
