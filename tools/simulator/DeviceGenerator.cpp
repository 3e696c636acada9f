#include "tools/simulator/DeviceGenerator.h"

#include <cstdio>

#include "tools/simulator/SimWire.h"

namespace pelmora {

bool ParsePrefix(const std::string& text, std::uint8_t defaultLength, Ipv4Prefix& out) {
    const std::size_t slash = text.find('/');
    Ipv4Prefix result;
    result.length = defaultLength;
    if (!ParseIpv4(text.substr(0, slash), result.address)) return false;
    if (slash != std::string::npos) {
        const std::string digits = text.substr(slash + 1);
        if (digits.empty() || digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        const int length = std::stoi(digits);
        if (length > 32) return false;
        result.length = static_cast<std::uint8_t>(length);
    }
    out = result;
    return true;
}

Ipv4Octets MaskOf(std::uint8_t length) {
    const std::uint32_t mask = length == 0 ? 0u : ~std::uint32_t{0} << (32u - length);
    return ToOctets(Ipv4Host{mask});
}

bool PrefixContains(const Ipv4Prefix& prefix, Ipv4Octets address) {
    const std::uint32_t mask = ToHost(MaskOf(prefix.length)).value;
    return (ToHost(prefix.address).value & mask) == (ToHost(address).value & mask);
}

MacAddress MacPlus(const MacAddress& base, std::uint64_t offset) {
    std::uint64_t value = 0;
    for (const std::uint8_t byte : base) value = (value << 8) | byte;
    value += offset;
    MacAddress mac{};
    for (std::size_t i = 6; i-- > 0;) {
        mac[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
    return mac;
}

std::vector<SimDevice> GenerateDevices(const GeneratorSettings& settings) {
    const Ipv4Octets mask = MaskOf(settings.subnet.length);
    const std::uint32_t network = ToHost(settings.subnet.address).value & ToHost(mask).value;
    const std::uint32_t size = settings.subnet.length >= 31 ? 0u : ~ToHost(mask).value - 1u;  // usable hosts
    std::vector<SimDevice> devices;
    devices.reserve(settings.count);
    for (std::size_t i = 0; i < settings.count; ++i) {
        SimDevice d;
        const auto n = static_cast<std::uint32_t>(i);
        d.mac = MacPlus(settings.macBase, i);
        // Small subnets (/31, /32) have no host range to spread over: every device takes the address given.
        d.ip = size == 0 ? settings.subnet.address : ToOctets(Ipv4Host{network + 1u + (9u + n) % size});
        d.mask = mask;
        d.gateway = ToOctets(Ipv4Host{network + 1u});
        d.dns1 = d.gateway;
        d.dhcp = i % 8 == 5;
        const bool bacnet = i % 4 != 3;
        d.featureFlags = bacnet ? simwire::BACNET_FLAG : 0u;
        d.deviceId = i % 10 == 9 ? -1 : static_cast<std::int32_t>(100000 + n);
        char name[32];
        std::snprintf(name, sizeof name, "%s-%04u", settings.namePrefix.c_str(), n + 1u);
        d.name = d.deviceId == -1 ? settings.namePrefix + "-$" : name;
        d.text102 = d.name;
        d.description = "Simulated device " + std::to_string(n + 1u);
        d.location = "Rack " + std::to_string(n / 20u + 1u);
        if (bacnet && i % 5 == 2) d.bbmd = ToText(Ipv4Host{network + 250u});
        d.pla = static_cast<std::uint8_t>(1u + n % 254u);
        d.ela = 254;
        d.debugFlags = i % 6 == 1 ? 1u : 0u;
        d.revision = (1u << 24) | (2u << 16) | ((n % 10u) << 8) | (n % 100u);
        devices.push_back(std::move(d));
    }
    return devices;
}

}  // namespace pelmora
