#pragma once
// The PC's network adapters with their IPv4 addresses. Linux: rtnetlink (libnl-route-3) and sysfs;
// Windows: IP Helper (GetAdaptersAddresses, GetIfEntry).
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
    // One entry per IPv4 unicast address; an entry without an address stays empty.
    std::vector<std::optional<Ipv4Net>> unicast;
};

// An Ethernet adapter of its own: ARPHRD_ETHER, not wireless, enslaved to nothing and not a bridge.
// Bridge ports and the host ends of container and VM links carry no IPv4 address by design.
bool IsEthernetAdapter(const AdapterInfo& adapter);
// Whether the adapter holds an IPv4 address; entries without one, and 0.0.0.0, do not count.
bool HoldsIpv4Address(const AdapterInfo& adapter);

// The adapters in interface-index order; nothing when the list cannot be read.
std::optional<std::vector<AdapterInfo>> ListAdapters();

}  // namespace pelmora
