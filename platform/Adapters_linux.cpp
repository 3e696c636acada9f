#include <linux/if_arp.h>
#include <linux/rtnetlink.h>
#include <linux/wireless.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <libmnl/libmnl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <initializer_list>
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
// does not share; an entry counts only when the link's interface index is the one asked about.
bool SysfsLinkHasEntry(const std::string& name, int ifIndex, std::initializer_list<const char*> entries) {
    const std::string dir = "/sys/class/net/" + name;
    std::ifstream indexFile(dir + "/ifindex");
    int sysfsIndex = 0;
    if (!(indexFile >> sysfsIndex) || sysfsIndex != ifIndex) return false;
    return std::any_of(entries.begin(), entries.end(),
                       [&](const char* entry) { return PathExists(dir + "/" + entry); });
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

// An interface index in an attribute; 0 when it is missing.
int U32Attribute(const nlattr* attribute) {
    if (attribute == nullptr || mnl_attr_get_payload_len(attribute) != 4) return 0;
    return static_cast<int>(mnl_attr_get_u32(attribute));
}

}  // namespace

std::optional<std::vector<AdapterInfo>> ListAdapters() {
    const auto addresses = netlink::ReadIpv4Addresses();
    if (!addresses) return std::nullopt;
    netlink::Message request(RTM_GETLINK, 0, sizeof(ifinfomsg));
    request.Family<ifinfomsg>()->ifi_family = AF_UNSPEC;
    std::vector<AdapterInfo> adapters;
    const bool read = netlink::Dump(request, [&](const nlmsghdr& message) {
        if (message.nlmsg_type != RTM_NEWLINK) return;
        const auto* family = static_cast<const ifinfomsg*>(mnl_nlmsg_get_payload(&message));
        const auto attributes = netlink::Attributes(message, sizeof(ifinfomsg), IFLA_MAX);
        AdapterInfo adapter;
        adapter.ifIndex = family->ifi_index;
        if (const nlattr* name = attributes[IFLA_IFNAME]) adapter.name = mnl_attr_get_str(name);
        adapter.arpEther = family->ifi_type == ARPHRD_ETHER;
        adapter.wireless = SysfsLinkHasEntry(adapter.name, adapter.ifIndex, {"wireless", "phy80211"}) ||
                           IoctlSaysWireless(adapter.name);
        adapter.masterIndex = U32Attribute(attributes[IFLA_MASTER]);
        adapter.lowerIndex = U32Attribute(attributes[IFLA_LINK]);
        // Older kernels do not send the parent device; sysfs links the same device as "device".
        adapter.hasBusDevice =
            attributes[IFLA_PARENT_DEV_NAME] != nullptr || SysfsLinkHasEntry(adapter.name, adapter.ifIndex, {"device"});
        const auto info = netlink::NestedAttributes(attributes[IFLA_LINKINFO], IFLA_INFO_MAX);
        if (const nlattr* kind = info[IFLA_INFO_KIND]) adapter.kind = mnl_attr_get_str(kind);
        adapter.isBridge = adapter.kind == "bridge";
        for (const auto& row : *addresses)
            if (row.ifIndex == adapter.ifIndex) adapter.unicast.emplace_back(row.address);
        adapters.push_back(std::move(adapter));
    });
    if (!read) return std::nullopt;
    std::stable_sort(adapters.begin(), adapters.end(),
                     [](const AdapterInfo& a, const AdapterInfo& b) { return a.ifIndex < b.ifIndex; });
    MarkEthernetAdapters(adapters);
    return adapters;
}

}  // namespace pelmora
