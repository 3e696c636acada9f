#include "tools/simulator/SimDevice.h"

#include "tools/simulator/SimWire.h"

namespace pelmora {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool HasBacnet(const SimDevice& device) { return (device.featureFlags & simwire::BACNET_FLAG) != 0; }

bool ParseMac(const std::string& text, MacAddress& mac) {
    const bool colons = text.size() == 17;
    if (!colons && text.size() != 12) return false;
    const std::size_t stride = colons ? 3 : 2;
    MacAddress result{};
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t at = i * stride;
        if (colons && i > 0 && text[at - 1] != ':') return false;
        const int high = HexDigit(text[at]);
        const int low = HexDigit(text[at + 1]);
        if (high < 0 || low < 0) return false;
        result[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    mac = result;
    return true;
}

bool SubnetContains(const SimDevice& device, Ipv4Octets address) {
    const std::uint32_t mask = ToHost(device.mask).value;
    return (ToHost(device.ip).value & mask) == (ToHost(address).value & mask);
}

}  // namespace pelmora
