#pragma once
// The PC's network adapters with their IPv4 addresses. Linux: rtnetlink, and sysfs for wireless;
// Windows: IP Helper (GetAdaptersAddresses, GetIfEntry2).
#include <optional>
#include <string>
#include <vector>

#include "base/Ipv4.h"

namespace pelmora {

struct AdapterInfo {
    int ifIndex = 0;
    std::string name;
    bool isEthernet = false;  // IsEthernetAdapter of the fields below
    bool arpEther = false;    // link type ARPHRD_ETHER
    bool wireless = false;
    int masterIndex = 0;  // the bridge, bond, team or VRF the link is enslaved to (IFLA_MASTER); 0 for none
    bool isBridge = false;
    std::string kind;  // the driver's link kind (IFLA_INFO_KIND: veth, vlan, bond, macvlan, tun...); empty for none
    // A bus device stands behind the link: an adapter you can cable. Linux: IFLA_PARENT_DEV_NAME, or the
    // device link in sysfs; Windows: a hardware interface with its connector present.
    bool hasBusDevice = false;
    int lowerIndex = 0;  // the link a VLAN runs on (IFLA_LINK); 0 for none
    // Windows: the media is connected and the interface is up. Not read on Linux, where no adapter is
    // preferred over another for it.
    bool connected = false;
    // One entry per IPv4 unicast address; an entry without an address stays empty.
    std::vector<std::optional<Ipv4Net>> unicast;
};

// An Ethernet adapter of its own: ARPHRD_ETHER, not wireless, enslaved to nothing and not a bridge.
// Bridge ports and the host ends of container and VM links carry no IPv4 address by design.
bool IsEthernetAdapter(const AdapterInfo& adapter);
// Why the link is not one the temporary address may go to, by its kind: a physical Ethernet adapter, a
// VLAN or bond on such adapters, or a veth; every other virtual kind (macvlan, vxlan, tap...) is
// refused. links is the whole list, for what a VLAN or bond runs on. Nothing when the kind is accepted.
std::optional<std::string> RefuseLinkKind(const AdapterInfo& link, const std::vector<AdapterInfo>& links);
// Whether the adapter holds an IPv4 address; entries without one, and 0.0.0.0, do not count.
bool HoldsIpv4Address(const AdapterInfo& adapter);
// Sets isEthernet of each adapter by IsEthernetAdapter and RefuseLinkKind.
void MarkEthernetAdapters(std::vector<AdapterInfo>& adapters);

// The adapters (Linux: in interface-index order; Windows: in the order GetAdaptersAddresses gives), with
// isEthernet set by MarkEthernetAdapters; nothing when the list cannot be read.
std::optional<std::vector<AdapterInfo>> ListAdapters();

}  // namespace pelmora
