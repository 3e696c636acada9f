#pragma once
// The PC's IPv4 address table and its routes, and adding and deleting one address. Linux: rtnetlink;
// Windows: IP Helper (GetIpAddrTable, GetIpForwardTable2, AddIPAddress, DeleteIPAddress).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/Ipv4.h"

namespace pelmora {

// One local IPv4 address and the interface (link) that holds it.
struct AddressRow {
    int ifIndex = 0;
    Ipv4Net address;
    std::uint8_t prefixLength = 32;
};

// The local IPv4 addresses in the platform's order (by interface, primary first), loopback included.
// Nothing when the table cannot be read or holds more than maxRows rows.
std::optional<std::vector<AddressRow>> ReadIpv4AddressTable(std::size_t maxRows);

// What an added address needs to be deleted again.
struct AddressContext {
    int ifIndex = 0;
    Ipv4Net address;
    std::uint8_t prefixLength = 0;
    std::uint32_t nteContext = 0;  // Windows: what AddIPAddress returned, which DeleteIPAddress takes
};
// Adds address/mask (with its subnet broadcast) to the interface; nothing when it fails: without
// CAP_NET_ADMIN (Windows: administrator rights or "Network Configuration Operators"), for a mask that is not
// contiguous, or when the interface already holds the address (so that deleting the context never takes away an address
// someone else made). Prints nothing.
std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask);
// The same with a valid and preferred lifetime: the kernel deletes the address when it runs out.
std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask, std::chrono::seconds lifetime);
// Restarts the lifetime of an address that is still there; false, sending nothing, when it is gone (Linux
// would make it again), and false when a deletion raced the renewal, whose copy made again is deleted.
// Linux only: the Windows program holds no lifetime.
bool RenewIpv4Address(const AddressContext& context, std::chrono::seconds lifetime);
bool DeleteIpv4Address(const AddressContext& context);

// One IPv4 route of any table: its destination subnet and, when it has one, its gateway (of every next
// hop, for a multipath route).
struct RouteRow {
    Ipv4Net destination;
    std::uint8_t prefixLength = 0;
    std::vector<Ipv4Net> gateways;
};
// Nothing when the routes cannot be read.
std::optional<std::vector<RouteRow>> ReadIpv4Routes();

}  // namespace pelmora
