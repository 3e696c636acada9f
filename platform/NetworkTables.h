#pragma once
// The PC's own network configuration: its IPv4 address table, its adapters, adding and removing an
// address, and the neighbour (ARP) cache. Linux implementation through rtnetlink (libnl-route-3).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Ipv4.h"

namespace pelmora {

// The local IPv4 addresses in the platform's order, loopback included. Nothing when the table cannot
// be read or holds more than maxRows rows.
std::optional<std::vector<Ipv4Net>> ReadIpv4AddressTable(std::size_t maxRows);

struct AdapterInfo {
    int ifIndex = 0;
    std::string name;
    bool isEthernet = false;  // ARPHRD_ETHER and not a wireless device
    // One entry per IPv4 unicast address; an entry without an address stays empty.
    std::vector<std::optional<Ipv4Net>> unicast;
};
// The adapters in interface-index order; nothing when the list cannot be read.
std::optional<std::vector<AdapterInfo>> ListAdapters();

// What an added address needs to be deleted again.
struct AddressContext {
    int ifIndex = 0;
    Ipv4Net address;
    std::uint8_t prefixLength = 0;
};
// Adds address/mask (with its subnet broadcast) to the interface; nothing when it fails: without
// CAP_NET_ADMIN, for a mask that is not contiguous, or when the interface already holds the address
// (so that deleting the context never takes away an address someone else made). Prints nothing.
std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask);
bool DeleteIpv4Address(const AddressContext& context);

struct NeighbourEntry {
    int ifIndex = 0;
    Ipv4Net address;
};
// IPv4 neighbour cache entries; nothing when the cache cannot be read.
std::optional<std::vector<NeighbourEntry>> ReadNeighbours();
// Deletes every neighbour entry for the address, on every interface; returns how many went.
std::size_t DeleteNeighbours(Ipv4Net address);

}  // namespace pelmora
