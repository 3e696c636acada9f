#pragma once
// Owners for libnl objects, so every path through the netlink code frees what it allocated.
#include <netlink/addr.h>
#include <netlink/cache.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/neighbour.h>

#include <memory>
#include <optional>
#include <vector>

#include "base/Ipv4.h"
#include "platform/AddressTable.h"

namespace pelmora::netlink {

struct SocketFree {
    void operator()(nl_sock* s) const { nl_socket_free(s); }
};
struct CacheFree {
    void operator()(nl_cache* c) const { nl_cache_free(c); }
};
struct AddrPut {
    void operator()(nl_addr* a) const { nl_addr_put(a); }
};
struct RouteAddrPut {
    void operator()(rtnl_addr* a) const { rtnl_addr_put(a); }
};

using SocketPtr = std::unique_ptr<nl_sock, SocketFree>;
using CachePtr = std::unique_ptr<nl_cache, CacheFree>;
using AddrPtr = std::unique_ptr<nl_addr, AddrPut>;
using RouteAddrPtr = std::unique_ptr<rtnl_addr, RouteAddrPut>;

// A route-netlink socket in the calling thread's network namespace; null when none can be opened.
SocketPtr Connect();

// The IPv4 address an nl_addr holds, or nothing when it is not one.
std::optional<Ipv4Net> ToIpv4(const nl_addr* address);
AddrPtr FromIpv4(Ipv4Net address, unsigned prefixLength);

// Every IPv4 address with its interface, in the kernel's dump order (by interface, primary first);
// nothing when the table cannot be read.
std::optional<std::vector<AddressRow>> ReadIpv4Addresses();

}  // namespace pelmora::netlink
