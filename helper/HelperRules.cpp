#include "helper/HelperRules.h"

#include <algorithm>

namespace pelmora {

namespace {

std::optional<std::string> RefuseLink(const AdapterInfo& link, const std::vector<AdapterInfo>& links) {
    if (!link.arpEther) return "not an Ethernet link";
    if (link.wireless) return "a wireless link";
    if (link.masterIndex != 0) return "the link is enslaved to a bridge, bond, team or VRF";
    if (link.isBridge) return "the link is a bridge";
    if (!IsEthernetAdapter(link)) return "not an Ethernet link";
    if (auto refusal = RefuseLinkKind(link, links)) return refusal;
    if (HoldsIpv4Address(link)) return "the link holds an IPv4 address";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> RefuseAdd(int ifIndex, const std::optional<std::vector<AdapterInfo>>& links) {
    if (!links) return "cannot read the links";
    const auto link =
        std::find_if(links->begin(), links->end(), [&](const AdapterInfo& a) { return a.ifIndex == ifIndex; });
    if (link == links->end()) return "no such link";
    return RefuseLink(*link, *links);
}

}  // namespace pelmora
