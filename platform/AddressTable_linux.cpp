#include <netinet/in.h>
#include <sys/socket.h>

#include "Netlink_linux.h"
#include "NetworkTables.h"

namespace pelmora {

namespace {

netlink::CachePtr ReadAddressCache(nl_sock* socket) {
    nl_cache* cache = nullptr;
    if (rtnl_addr_alloc_cache(socket, &cache) < 0) return nullptr;
    return netlink::CachePtr(cache);
}

}  // namespace

namespace netlink {

std::optional<std::vector<AddressRow>> ReadIpv4Addresses() {
    const netlink::SocketPtr socket = netlink::Connect();
    if (!socket) return std::nullopt;
    const netlink::CachePtr cache = ReadAddressCache(socket.get());
    if (!cache) return std::nullopt;
    std::vector<AddressRow> rows;
    for (nl_object* object = nl_cache_get_first(cache.get()); object != nullptr; object = nl_cache_get_next(object)) {
        auto* address = reinterpret_cast<rtnl_addr*>(object);
        if (rtnl_addr_get_family(address) != AF_INET) continue;
        if (const auto local = netlink::ToIpv4(rtnl_addr_get_local(address)))
            rows.push_back(AddressRow{rtnl_addr_get_ifindex(address), *local});
    }
    return rows;
}

}  // namespace netlink

std::optional<std::vector<Ipv4Net>> ReadIpv4AddressTable(std::size_t maxRows) {
    const auto rows = netlink::ReadIpv4Addresses();
    if (!rows || rows->size() > maxRows) return std::nullopt;
    std::vector<Ipv4Net> table;
    table.reserve(rows->size());
    for (const auto& row : *rows) table.push_back(row.address);
    return table;
}

std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) {
    const auto prefix = PrefixLength(mask);
    if (!prefix || ifIndex <= 0) return std::nullopt;
    const netlink::SocketPtr socket = netlink::Connect();
    if (!socket) return std::nullopt;
    netlink::RouteAddrPtr request(rtnl_addr_alloc());
    const netlink::AddrPtr local = netlink::FromIpv4(address, *prefix);
    if (!request || !local) return std::nullopt;
    rtnl_addr_set_ifindex(request.get(), ifIndex);
    rtnl_addr_set_family(request.get(), AF_INET);
    if (rtnl_addr_set_local(request.get(), local.get()) < 0) return std::nullopt;
    rtnl_addr_set_prefixlen(request.get(), *prefix);
    // As "ip addr add ... brd +" does, so that the subnet's directed broadcasts count as local.
    if (*prefix < 31) {
        const Ipv4Net broadcastAddress = ToNet(SubnetBroadcast(ToHost(address), *prefix));
        const netlink::AddrPtr broadcast = netlink::FromIpv4(broadcastAddress, 32);
        if (!broadcast || rtnl_addr_set_broadcast(request.get(), broadcast.get()) < 0) return std::nullopt;
    }
    if (rtnl_addr_add(socket.get(), request.get(), NLM_F_EXCL) < 0) return std::nullopt;
    return AddressContext{ifIndex, address, *prefix};
}

bool DeleteIpv4Address(const AddressContext& context) {
    if (context.ifIndex <= 0) return false;
    const netlink::SocketPtr socket = netlink::Connect();
    if (!socket) return false;
    netlink::RouteAddrPtr request(rtnl_addr_alloc());
    const netlink::AddrPtr local = netlink::FromIpv4(context.address, context.prefixLength);
    if (!request || !local) return false;
    rtnl_addr_set_ifindex(request.get(), context.ifIndex);
    rtnl_addr_set_family(request.get(), AF_INET);
    if (rtnl_addr_set_local(request.get(), local.get()) < 0) return false;
    rtnl_addr_set_prefixlen(request.get(), context.prefixLength);
    return rtnl_addr_delete(socket.get(), request.get(), 0) >= 0;
}

}  // namespace pelmora
