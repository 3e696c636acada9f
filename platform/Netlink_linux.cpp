#include "platform/Netlink_linux.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace pelmora::netlink {

SocketPtr Connect() {
    SocketPtr socket(nl_socket_alloc());
    if (!socket) return nullptr;
    if (nl_connect(socket.get(), NETLINK_ROUTE) < 0) return nullptr;
    return socket;
}

std::optional<Ipv4Net> ToIpv4(const nl_addr* address) {
    if (address == nullptr || nl_addr_get_family(address) != AF_INET || nl_addr_get_len(address) != 4)
        return std::nullopt;
    Ipv4Net net;
    std::memcpy(&net.value, nl_addr_get_binary_addr(address), 4);
    return net;
}

AddrPtr FromIpv4(Ipv4Net address, unsigned prefixLength) {
    AddrPtr result(nl_addr_build(AF_INET, &address.value, 4));
    if (result) nl_addr_set_prefixlen(result.get(), static_cast<int>(prefixLength));
    return result;
}

namespace {

CachePtr ReadAddressCache(nl_sock* socket) {
    nl_cache* cache = nullptr;
    if (rtnl_addr_alloc_cache(socket, &cache) < 0) return nullptr;
    return CachePtr(cache);
}

}  // namespace

std::optional<std::vector<AddressRow>> ReadIpv4Addresses() {
    const SocketPtr socket = Connect();
    if (!socket) return std::nullopt;
    const CachePtr cache = ReadAddressCache(socket.get());
    if (!cache) return std::nullopt;
    std::vector<AddressRow> rows;
    for (nl_object* object = nl_cache_get_first(cache.get()); object != nullptr; object = nl_cache_get_next(object)) {
        auto* address = reinterpret_cast<rtnl_addr*>(object);
        if (rtnl_addr_get_family(address) != AF_INET) continue;
        if (const auto local = ToIpv4(rtnl_addr_get_local(address)))
            rows.push_back(AddressRow{rtnl_addr_get_ifindex(address), *local});
    }
    return rows;
}

}  // namespace pelmora::netlink
