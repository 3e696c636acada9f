#include <linux/neighbour.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <libmnl/libmnl.h>

#include <algorithm>

#include "platform/AddressTable.h"
#include "platform/Neighbours.h"
#include "platform/Netlink_linux.h"

namespace pelmora {

namespace {

bool IsGateway(Ipv4Net address, const std::vector<RouteRow>& routes) {
    return std::any_of(routes.begin(), routes.end(), [&](const RouteRow& route) {
        return std::find(route.gateways.begin(), route.gateways.end(), address) != route.gateways.end();
    });
}

bool DeleteEntry(const NeighbourEntry& entry) {
    netlink::Message request(RTM_DELNEIGH, 0, sizeof(ndmsg));
    auto* family = request.Family<ndmsg>();
    family->ndm_family = AF_INET;
    family->ndm_ifindex = entry.ifIndex;
    request.Put(NDA_DST, &entry.address.value, 4);
    return netlink::Execute(request);
}

}  // namespace

std::optional<std::vector<NeighbourEntry>> ReadNeighbours() {
    netlink::Message request(RTM_GETNEIGH, 0, sizeof(ndmsg));
    request.Family<ndmsg>()->ndm_family = AF_INET;
    std::vector<NeighbourEntry> entries;
    const bool read = netlink::Dump(request, [&](const nlmsghdr& message) {
        const auto* family = static_cast<const ndmsg*>(mnl_nlmsg_get_payload(&message));
        if (message.nlmsg_type != RTM_NEWNEIGH || family->ndm_family != AF_INET) return;
        const auto attributes = netlink::Attributes(message, sizeof(ndmsg), NDA_MAX);
        if (const auto address = netlink::Ipv4Attribute(attributes[NDA_DST]))
            entries.push_back(NeighbourEntry{family->ndm_ifindex, *address, family->ndm_state});
    });
    if (!read) return std::nullopt;
    return entries;
}

std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) {
    const auto entries = ReadNeighbours();
    const auto routes = ReadIpv4Routes();
    if (!entries || !routes) return std::nullopt;
    if (IsGateway(address, *routes)) return 0;
    std::size_t deleted = 0;
    for (const NeighbourEntry& entry : *entries) {
        if (entry.address != address || (entry.state & (NUD_PERMANENT | NUD_NOARP)) != 0) continue;
        if (DeleteEntry(entry)) ++deleted;
    }
    return deleted;
}

}  // namespace pelmora
