#pragma once
// The three forms an IPv4 address takes in this program, as distinct types so they never mix silently:
//  - Ipv4Octets: four bytes, first octet first (records, elements on the wire);
//  - Ipv4Host:   a 32-bit number, first octet most significant (dialog members, write destinations);
//  - Ipv4Net:    network byte order as the socket layer and kernel tables hold it (in_addr.s_addr).
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pelmora {

struct Ipv4Octets {
    std::array<std::uint8_t, 4> bytes{};
    friend bool operator==(const Ipv4Octets& a, const Ipv4Octets& b) { return a.bytes == b.bytes; }
    friend bool operator!=(const Ipv4Octets& a, const Ipv4Octets& b) { return !(a == b); }
};

struct Ipv4Host {
    std::uint32_t value = 0;
    friend bool operator==(Ipv4Host a, Ipv4Host b) { return a.value == b.value; }
    friend bool operator!=(Ipv4Host a, Ipv4Host b) { return a.value != b.value; }
};

struct Ipv4Net {
    std::uint32_t value = 0;  // exactly as in in_addr.s_addr
    friend bool operator==(Ipv4Net a, Ipv4Net b) { return a.value == b.value; }
    friend bool operator!=(Ipv4Net a, Ipv4Net b) { return a.value != b.value; }
};

constexpr Ipv4Host ToHost(Ipv4Octets o) {
    return Ipv4Host{(std::uint32_t{o.bytes[0]} << 24) | (std::uint32_t{o.bytes[1]} << 16) |
                    (std::uint32_t{o.bytes[2]} << 8) | std::uint32_t{o.bytes[3]}};
}
constexpr Ipv4Octets ToOctets(Ipv4Host h) {
    return Ipv4Octets{{static_cast<std::uint8_t>(h.value >> 24), static_cast<std::uint8_t>(h.value >> 16),
                       static_cast<std::uint8_t>(h.value >> 8), static_cast<std::uint8_t>(h.value)}};
}
// Network order is the octets laid out in memory first octet first, whatever the CPU's byte order.
Ipv4Net ToNet(Ipv4Octets o);
Ipv4Octets ToOctets(Ipv4Net n);
inline Ipv4Net ToNet(Ipv4Host h) { return ToNet(ToOctets(h)); }
inline Ipv4Host ToHost(Ipv4Net n) { return ToHost(ToOctets(n)); }

constexpr Ipv4Host BROADCAST_ADDRESS{0xFFFFFFFFu};  // 255.255.255.255
constexpr Ipv4Host ANY_ADDRESS{0u};                 // 0.0.0.0

// "a.b.c.d"; and the reverse, which accepts only four decimal octets 0..255.
std::string ToText(Ipv4Octets o);
inline std::string ToText(Ipv4Host h) { return ToText(ToOctets(h)); }
inline std::string ToText(Ipv4Net n) { return ToText(ToOctets(n)); }
bool ParseIpv4(const std::string& text, Ipv4Octets& out);

// The prefix length of a subnet mask (255.255.255.0 gives 24); nothing for a mask whose ones are not
// contiguous from the first octet.
std::optional<std::uint8_t> PrefixLength(Ipv4Host mask);
inline std::optional<std::uint8_t> PrefixLength(Ipv4Net mask) { return PrefixLength(ToHost(mask)); }
// The broadcast address of address's subnet of the given prefix length (0..32).
Ipv4Host SubnetBroadcast(Ipv4Host address, std::uint8_t prefixLength);

}  // namespace pelmora
