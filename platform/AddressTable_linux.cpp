#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/AddressTable.h"
#include "platform/Netlink_linux.h"

namespace pelmora {

std::optional<std::vector<AddressRow>> ReadIpv4AddressTable(std::size_t maxRows) {
    auto rows = netlink::ReadIpv4Addresses();
    if (!rows || rows->size() > maxRows) return std::nullopt;
    return rows;
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
