#include <linux/if_arp.h>
#include <linux/wireless.h>
#include <netinet/in.h>
#include <netlink/route/link.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/Adapters.h"
#include "platform/Netlink_linux.h"

namespace pelmora {

namespace {

bool PathExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// Sysfs shows the namespace it was mounted in, which a thread that entered another network namespace
// does not share; the entry counts only when its interface index is the one asked about.
bool SysfsSaysWireless(const std::string& name, int ifIndex) {
    const std::string dir = "/sys/class/net/" + name;
    std::ifstream indexFile(dir + "/ifindex");
    int sysfsIndex = 0;
    if (!(indexFile >> sysfsIndex) || sysfsIndex != ifIndex) return false;
    return PathExists(dir + "/wireless") || PathExists(dir + "/phy80211");
}

// The wireless-extensions query answers in the caller's own namespace; cfg80211 drivers answer it too.
bool IoctlSaysWireless(const std::string& name) {
    if (name.size() >= IFNAMSIZ) return false;
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    iwreq request{};
    std::memcpy(request.ifr_name, name.c_str(), name.size() + 1);
    const bool wireless = ioctl(fd, SIOCGIWNAME, &request) == 0;
    close(fd);
    return wireless;
}

}  // namespace

bool IsEthernetAdapter(const AdapterInfo& adapter) {
    return adapter.arpEther && !adapter.wireless && adapter.masterIndex == 0 && !adapter.isBridge;
}

std::optional<std::vector<AdapterInfo>> ListAdapters() {
    const netlink::SocketPtr socket = netlink::Connect();
    if (!socket) return std::nullopt;
    nl_cache* rawLinks = nullptr;
    if (rtnl_link_alloc_cache(socket.get(), AF_UNSPEC, &rawLinks) < 0) return std::nullopt;
    const netlink::CachePtr links(rawLinks);
    const auto addresses = netlink::ReadIpv4Addresses();
    if (!addresses) return std::nullopt;

    std::vector<AdapterInfo> adapters;
    for (nl_object* object = nl_cache_get_first(links.get()); object != nullptr; object = nl_cache_get_next(object)) {
        auto* link = reinterpret_cast<rtnl_link*>(object);
        AdapterInfo adapter;
        adapter.ifIndex = rtnl_link_get_ifindex(link);
        if (const char* name = rtnl_link_get_name(link)) adapter.name = name;
        adapter.arpEther = rtnl_link_get_arptype(link) == ARPHRD_ETHER;
        adapter.wireless = SysfsSaysWireless(adapter.name, adapter.ifIndex) || IoctlSaysWireless(adapter.name);
        adapter.masterIndex = rtnl_link_get_master(link);
        const char* kind = rtnl_link_get_type(link);
        adapter.isBridge = kind != nullptr && std::strcmp(kind, "bridge") == 0;
        adapter.isEthernet = IsEthernetAdapter(adapter);
        for (const auto& row : *addresses)
            if (row.ifIndex == adapter.ifIndex) adapter.unicast.emplace_back(row.address);
        adapters.push_back(std::move(adapter));
    }
    std::stable_sort(adapters.begin(), adapters.end(),
                     [](const AdapterInfo& a, const AdapterInfo& b) { return a.ifIndex < b.ifIndex; });
    return adapters;
}

}  // namespace pelmora
