#pragma once
// Many devices at once, with distinct MACs and a spread of settings that exercises the list.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/simulator/SimDevice.h"

namespace pelmora {

struct Ipv4Prefix {
    Ipv4Octets address;
    std::uint8_t length = 24;
};
// "a.b.c.d/n" with n 0..32, or "a.b.c.d" with defaultLength.
bool ParsePrefix(const std::string& text, std::uint8_t defaultLength, Ipv4Prefix& out);
Ipv4Octets MaskOf(std::uint8_t length);
bool PrefixContains(const Ipv4Prefix& prefix, Ipv4Octets address);
MacAddress MacPlus(const MacAddress& base, std::uint64_t offset);  // as one 48-bit number, wrapping

struct GeneratorSettings {
    std::size_t count = 0;
    MacAddress macBase{{0x02, 0x00, 0x00, 0x00, 0x00, 0x01}};
    Ipv4Prefix subnet{{{192, 168, 92, 0}}, 24};
    std::string namePrefix = "SIM";
};

// Device i gets MAC macBase + i and the i-th host address from .10 on, wrapping inside the subnet;
// the other settings follow the patterns listed in README.md.
std::vector<SimDevice> GenerateDevices(const GeneratorSettings& settings);

}  // namespace pelmora
