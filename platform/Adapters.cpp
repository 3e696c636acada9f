#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/Adapters.h"

namespace pelmora {

namespace {

const AdapterInfo* FindLink(const std::vector<AdapterInfo>& links, int ifIndex) {
    const auto found =
        std::find_if(links.begin(), links.end(), [&](const AdapterInfo& l) { return l.ifIndex == ifIndex; });
    return found == links.end() ? nullptr : &*found;
}

bool IsPhysical(const AdapterInfo& link) { return link.kind.empty() && link.hasBusDevice && link.arpEther; }

bool IsBondOfPhysicalAdapters(const AdapterInfo& bond, const std::vector<AdapterInfo>& links) {
    if (bond.kind != "bond") return false;
    bool anySlave = false;
    for (const AdapterInfo& link : links) {
        if (link.masterIndex != bond.ifIndex) continue;
        if (!IsPhysical(link)) return false;
        anySlave = true;
    }
    return anySlave;
}

}  // namespace

bool IsEthernetAdapter(const AdapterInfo& adapter) {
    return adapter.arpEther && !adapter.wireless && adapter.masterIndex == 0 && !adapter.isBridge;
}

bool HoldsIpv4Address(const AdapterInfo& adapter) {
    for (const std::optional<Ipv4Net>& entry : adapter.unicast) {
        if (entry && ToOctets(*entry).bytes[0] != 0) return true;
    }
    return false;
}

std::optional<std::string> RefuseLinkKind(const AdapterInfo& link, const std::vector<AdapterInfo>& links) {
    if (IsPhysical(link) || link.kind == "veth") return std::nullopt;
    if (link.kind == "bond")
        return IsBondOfPhysicalAdapters(link, links)
                   ? std::nullopt
                   : std::optional<std::string>("a bond of other than physical adapters");
    if (link.kind == "vlan") {
        const AdapterInfo* lower = FindLink(links, link.lowerIndex);
        if (lower != nullptr && (IsPhysical(*lower) || IsBondOfPhysicalAdapters(*lower, links))) return std::nullopt;
        return "a VLAN on other than a physical adapter or bond";
    }
    if (link.kind.empty()) return "a virtual link without a device behind it";
    return "a virtual link of kind " + link.kind;
}

void MarkEthernetAdapters(std::vector<AdapterInfo>& adapters) {
    for (AdapterInfo& adapter : adapters)
        adapter.isEthernet = IsEthernetAdapter(adapter) && !RefuseLinkKind(adapter, adapters);
}

}  // namespace pelmora
