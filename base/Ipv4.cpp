#include "base/Ipv4.h"

#include <cstdio>
#include <cstring>

namespace pelmora {

Ipv4Net ToNet(Ipv4Octets o) {
    Ipv4Net n;
    std::memcpy(&n.value, o.bytes.data(), 4);
    return n;
}

Ipv4Octets ToOctets(Ipv4Net n) {
    Ipv4Octets o;
    std::memcpy(o.bytes.data(), &n.value, 4);
    return o;
}

std::string ToText(Ipv4Octets o) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned{o.bytes[0]}, unsigned{o.bytes[1]}, unsigned{o.bytes[2]},
                  unsigned{o.bytes[3]});
    return text;
}

bool ParseIpv4(const std::string& text, Ipv4Octets& out) {
    Ipv4Octets result;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.') return false;
            ++pos;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        result.bytes[static_cast<std::size_t>(part)] = static_cast<std::uint8_t>(value);
    }
    if (pos != text.size()) return false;
    out = result;
    return true;
}

std::optional<std::uint8_t> PrefixLength(Ipv4Host mask) {
    const std::uint32_t inverted = ~mask.value;
    // The host part of a valid mask is all ones from the lowest bit, so adding one clears it entirely.
    if ((inverted & (inverted + 1u)) != 0) return std::nullopt;
    std::uint8_t length = 0;
    for (std::uint32_t bits = mask.value; bits != 0; bits <<= 1) ++length;
    return length;
}

Ipv4Host SubnetBroadcast(Ipv4Host address, std::uint8_t prefixLength) {
    if (prefixLength >= 32) return address;
    const std::uint32_t hostBits = 0xFFFFFFFFu >> prefixLength;
    return Ipv4Host{address.value | hostBits};
}

}  // namespace pelmora
