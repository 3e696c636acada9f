#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/Neighbours.h"
#include "platform/Netlink_linux.h"

namespace pelmora {

namespace {

netlink::CachePtr ReadNeighbourCache(nl_sock* socket) {
    nl_cache* cache = nullptr;
    if (rtnl_neigh_alloc_cache(socket, &cache) < 0) return nullptr;
    return netlink::CachePtr(cache);
}

template <typename Visit>
void ForEachIpv4Neighbour(nl_cache* cache, Visit visit) {
    for (nl_object* object = nl_cache_get_first(cache); object != nullptr; object = nl_cache_get_next(object)) {
        auto* neighbour = reinterpret_cast<rtnl_neigh*>(object);
        if (rtnl_neigh_get_family(neighbour) != AF_INET) continue;
        if (const auto address = netlink::ToIpv4(rtnl_neigh_get_dst(neighbour))) visit(neighbour, *address);
    }
}

}  // namespace

std::optional<std::vector<NeighbourEntry>> ReadNeighbours() {
    const netlink::SocketPtr socket = netlink::Connect();
    if (!socket) return std::nullopt;
    const netlink::CachePtr cache = ReadNeighbourCache(socket.get());
    if (!cache) return std::nullopt;
    std::vector<NeighbourEntry> entries;
    ForEachIpv4Neighbour(cache.get(), [&](rtnl_neigh* neighbour, Ipv4Net address) {
        entries.push_back(NeighbourEntry{rtnl_neigh_get_ifindex(neighbour), address});
    });
    return entries;
}

std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) {
    const netlink::SocketPtr socket = netlink::Connect();
    if (!socket) return std::nullopt;
    const netlink::CachePtr cache = ReadNeighbourCache(socket.get());
    if (!cache) return std::nullopt;
    std::size_t deleted = 0;
    ForEachIpv4Neighbour(cache.get(), [&](rtnl_neigh* neighbour, Ipv4Net entryAddress) {
        if (entryAddress == address && rtnl_neigh_delete(socket.get(), neighbour, 0) >= 0) ++deleted;
    });
    return deleted;
}

}  // namespace pelmora
