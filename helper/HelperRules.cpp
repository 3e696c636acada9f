#include "helper/HelperRules.h"

#include <algorithm>

namespace pelmora {

namespace {

constexpr std::uint8_t TEMPORARY_PREFIX = 24;

std::optional<std::string> RefuseAddress(const HelperRequest& request) {
    const Ipv4Octets octets = ToOctets(request.address);
    if (octets.bytes[0] != 10) return "only addresses in 10.0.0.0/8";
    if (request.prefixLength != TEMPORARY_PREFIX) return "only a /24";
    if (octets.bytes[3] == 0 || octets.bytes[3] == 255) return "not a host address of its /24";
    return std::nullopt;
}

std::optional<std::string> RefuseLink(const AdapterInfo& link) {
    if (!link.arpEther) return "not an Ethernet link";
    if (link.wireless) return "a wireless link";
    if (link.masterIndex != 0) return "the link is enslaved to a bridge, bond, team or VRF";
    if (link.isBridge) return "the link is a bridge";
    if (!IsEthernetAdapter(link)) return "not an Ethernet link";
    if (HoldsIpv4Address(link)) return "the link holds an IPv4 address";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> RefuseAdd(const HelperRequest& request,
                                     const std::optional<std::vector<AdapterInfo>>& adapters) {
    if (request.command != HelperCommand::Add) return "not an add";
    if (auto refusal = RefuseAddress(request)) return refusal;
    if (!adapters) return "cannot read the links";
    const auto link = std::find_if(adapters->begin(), adapters->end(),
                                   [&](const AdapterInfo& a) { return a.ifIndex == request.ifIndex; });
    if (link == adapters->end()) return "no such link";
    return RefuseLink(*link);
}

}  // namespace pelmora
