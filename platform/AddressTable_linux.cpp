#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <libmnl/libmnl.h>

#include <algorithm>
#include <cstring>

#include "platform/AddressTable.h"
#include "platform/Netlink_linux.h"

namespace pelmora {

namespace {

constexpr std::uint32_t FOREVER = 0xFFFFFFFFu;

// RTM_NEWADDR for address/prefix on the interface; flags choose a new address (NLM_F_CREATE |
// NLM_F_EXCL) or a change to one that exists (NLM_F_REPLACE).
bool SendAddress(const AddressContext& context, std::uint16_t flags, std::uint32_t lifetimeSeconds) {
    netlink::Message request(RTM_NEWADDR, flags, sizeof(ifaddrmsg));
    auto* family = request.Family<ifaddrmsg>();
    family->ifa_family = AF_INET;
    family->ifa_prefixlen = context.prefixLength;
    family->ifa_index = static_cast<unsigned>(context.ifIndex);
    family->ifa_scope = RT_SCOPE_UNIVERSE;
    request.Put(IFA_LOCAL, &context.address.value, 4);
    request.Put(IFA_ADDRESS, &context.address.value, 4);
    // As "ip addr add ... brd +" does, so that the subnet's directed broadcasts count as local.
    if (context.prefixLength < 31) {
        const Ipv4Net broadcast = ToNet(SubnetBroadcast(ToHost(context.address), context.prefixLength));
        request.Put(IFA_BROADCAST, &broadcast.value, 4);
    }
    if (lifetimeSeconds != FOREVER) {
        const ifa_cacheinfo lifetime{lifetimeSeconds, lifetimeSeconds, 0, 0};
        request.Put(IFA_CACHEINFO, &lifetime, sizeof lifetime);
    }
    return netlink::Execute(request);
}

std::optional<AddressContext> Add(int ifIndex, Ipv4Net address, Ipv4Net mask, std::uint32_t lifetimeSeconds) {
    const auto prefix = PrefixLength(mask);
    if (!prefix || ifIndex <= 0) return std::nullopt;
    const AddressContext context{ifIndex, address, *prefix};
    if (!SendAddress(context, NLM_F_CREATE | NLM_F_EXCL, lifetimeSeconds)) return std::nullopt;
    return context;
}

std::uint32_t Seconds(std::chrono::seconds lifetime) {
    return lifetime.count() <= 0 ? 0u : static_cast<std::uint32_t>(std::min<long long>(lifetime.count(), FOREVER - 1));
}

// When the kernel made the address (ifa_cacheinfo's cstamp, hundredths of a second since boot): nothing
// inside when it is not there, nothing at all when the table cannot be read.
std::optional<std::optional<std::uint32_t>> CreatedAt(const AddressContext& context) {
    netlink::Message request(RTM_GETADDR, 0, sizeof(ifaddrmsg));
    request.Family<ifaddrmsg>()->ifa_family = AF_INET;
    std::optional<std::uint32_t> created;
    const bool read = netlink::Dump(request, [&](const nlmsghdr& message) {
        if (message.nlmsg_type != RTM_NEWADDR) return;
        const auto* family = static_cast<const ifaddrmsg*>(mnl_nlmsg_get_payload(&message));
        if (family->ifa_family != AF_INET || family->ifa_index != static_cast<unsigned>(context.ifIndex) ||
            family->ifa_prefixlen != context.prefixLength)
            return;
        const auto attributes = netlink::Attributes(message, sizeof(ifaddrmsg), IFA_MAX);
        const auto local =
            netlink::Ipv4Attribute(attributes[IFA_LOCAL] != nullptr ? attributes[IFA_LOCAL] : attributes[IFA_ADDRESS]);
        const nlattr* info = attributes[IFA_CACHEINFO];
        if (local != context.address || info == nullptr || mnl_attr_get_payload_len(info) < sizeof(ifa_cacheinfo))
            return;
        ifa_cacheinfo cache{};
        std::memcpy(&cache, mnl_attr_get_payload(info), sizeof cache);
        created = cache.cstamp;
    });
    if (!read) return std::nullopt;
    return created;
}

}  // namespace

std::optional<std::vector<AddressRow>> ReadIpv4AddressTable(std::size_t maxRows) {
    auto rows = netlink::ReadIpv4Addresses();
    if (!rows || rows->size() > maxRows) return std::nullopt;
    return rows;
}

std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) {
    return Add(ifIndex, address, mask, FOREVER);
}

std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask,
                                             std::chrono::seconds lifetime) {
    if (Seconds(lifetime) == 0) return std::nullopt;
    return Add(ifIndex, address, mask, Seconds(lifetime));
}

bool RenewIpv4Address(const AddressContext& context, std::chrono::seconds lifetime) {
    if (context.ifIndex <= 0 || Seconds(lifetime) == 0) return false;
    // The kernel makes a missing IPv4 address on RTM_NEWADDR even without NLM_F_CREATE, so only one that is
    // still there is renewed.
    const auto created = CreatedAt(context);
    if (!created || !*created || !SendAddress(context, NLM_F_REPLACE, Seconds(lifetime))) return false;
    // Deleted between the two requests, it was made again just now: a new creation time. Taken back.
    const auto after = CreatedAt(context);
    if (after && *after != *created) {
        if (*after) DeleteIpv4Address(context);
        return false;
    }
    return true;
}

bool DeleteIpv4Address(const AddressContext& context) {
    if (context.ifIndex <= 0) return false;
    netlink::Message request(RTM_DELADDR, 0, sizeof(ifaddrmsg));
    auto* family = request.Family<ifaddrmsg>();
    family->ifa_family = AF_INET;
    family->ifa_prefixlen = context.prefixLength;
    family->ifa_index = static_cast<unsigned>(context.ifIndex);
    request.Put(IFA_LOCAL, &context.address.value, 4);
    return netlink::Execute(request);
}

std::optional<std::vector<RouteRow>> ReadIpv4Routes() {
    netlink::Message request(RTM_GETROUTE, 0, sizeof(rtmsg));
    request.Family<rtmsg>()->rtm_family = AF_INET;
    std::vector<RouteRow> routes;
    const bool read = netlink::Dump(request, [&](const nlmsghdr& message) {
        const auto* family = static_cast<const rtmsg*>(mnl_nlmsg_get_payload(&message));
        if (message.nlmsg_type != RTM_NEWROUTE || family->rtm_family != AF_INET) return;
        const auto attributes = netlink::Attributes(message, sizeof(rtmsg), RTA_MAX);
        RouteRow route;
        route.destination = netlink::Ipv4Attribute(attributes[RTA_DST]).value_or(Ipv4Net{});
        route.prefixLength = family->rtm_dst_len;
        if (const auto gateway = netlink::Ipv4Attribute(attributes[RTA_GATEWAY])) route.gateways.push_back(*gateway);
        if (const nlattr* hops = attributes[RTA_MULTIPATH]) {
            const auto* hop = static_cast<const rtnexthop*>(mnl_attr_get_payload(hops));
            int left = static_cast<int>(mnl_attr_get_payload_len(hops));
            while (RTNH_OK(hop, left)) {
                const auto* attribute =
                    reinterpret_cast<const nlattr*>(reinterpret_cast<const char*>(hop) + sizeof(rtnexthop));
                const char* end = reinterpret_cast<const char*>(hop) + hop->rtnh_len;
                while (mnl_attr_ok(attribute, static_cast<int>(end - reinterpret_cast<const char*>(attribute)))) {
                    if (mnl_attr_get_type(attribute) == RTA_GATEWAY)
                        if (const auto gateway = netlink::Ipv4Attribute(attribute)) route.gateways.push_back(*gateway);
                    attribute = mnl_attr_next(attribute);
                }
                const auto step = (hop->rtnh_len + 3u) & ~3u;
                left -= static_cast<int>(step);
                hop = reinterpret_cast<const rtnexthop*>(reinterpret_cast<const char*>(hop) + step);
            }
        }
        routes.push_back(std::move(route));
    });
    if (!read) return std::nullopt;
    return routes;
}

}  // namespace pelmora
