#pragma once
// The PC's network adapters with their IPv4 addresses. Linux: rtnetlink (libnl-route-3) and sysfs.
#include <optional>
#include <string>
#include <vector>

#include "base/Ipv4.h"

namespace pelmora {

struct AdapterInfo {
    int ifIndex = 0;
    std::string name;
    bool isEthernet = false;  // ARPHRD_ETHER and not a wireless device
    // One entry per IPv4 unicast address; an entry without an address stays empty.
    std::vector<std::optional<Ipv4Net>> unicast;
};
// The adapters in interface-index order; nothing when the list cannot be read.
std::optional<std::vector<AdapterInfo>> ListAdapters();

}  // namespace pelmora
