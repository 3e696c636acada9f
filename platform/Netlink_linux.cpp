#include "platform/Netlink_linux.h"

#include <libmnl/libmnl.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cstring>
#include <memory>

namespace pelmora::netlink {

namespace {

struct SocketClose {
    void operator()(mnl_socket* s) const { mnl_socket_close(s); }
};
using SocketPtr = std::unique_ptr<mnl_socket, SocketClose>;

SocketPtr Connect() {
    SocketPtr socket(mnl_socket_open2(NETLINK_ROUTE, SOCK_CLOEXEC));
    if (!socket || mnl_socket_bind(socket.get(), 0, MNL_SOCKET_AUTOPID) < 0) return nullptr;
    return socket;
}

struct Visitor {
    const std::function<void(const nlmsghdr&)>* visit;
};

int VisitMessage(const nlmsghdr* message, void* data) {
    const auto* visitor = static_cast<const Visitor*>(data);
    if (visitor->visit != nullptr) (*visitor->visit)(*message);
    return MNL_CB_OK;
}

// Sends request and runs the answer through visit until the kernel's ACK, its error or the dump's end.
bool Run(Message& request, const std::function<void(const nlmsghdr&)>* visit) {
    const SocketPtr socket = Connect();
    if (!socket) return false;
    nlmsghdr* header = request.Header();
    header->nlmsg_seq = 1;
    const unsigned portId = mnl_socket_get_portid(socket.get());
    if (mnl_socket_sendto(socket.get(), header, header->nlmsg_len) < 0) return false;
    // Large enough for the biggest message the kernel puts into one dump datagram.
    std::vector<char> buffer(32768);
    Visitor visitor{visit};
    for (;;) {
        const ssize_t received = mnl_socket_recvfrom(socket.get(), buffer.data(), buffer.size());
        if (received <= 0) return false;
        const int result = mnl_cb_run(buffer.data(), static_cast<std::size_t>(received), header->nlmsg_seq, portId,
                                      VisitMessage, &visitor);
        if (result == MNL_CB_STOP) return true;
        if (result == MNL_CB_ERROR) return false;
    }
}

struct AttributeTable {
    std::vector<const nlattr*>* table;
};

int KeepAttribute(const nlattr* attribute, void* data) {
    auto& table = *static_cast<AttributeTable*>(data)->table;
    const std::uint16_t type = mnl_attr_get_type(attribute);
    if (type < table.size() && table[type] == nullptr) table[type] = attribute;
    return MNL_CB_OK;
}

}  // namespace

Message::Message(std::uint16_t type, std::uint16_t flags, std::size_t headerSize)
    : m_buffer(static_cast<std::size_t>(MNL_SOCKET_BUFFER_SIZE)) {
    nlmsghdr* header = mnl_nlmsg_put_header(m_buffer.data());
    header->nlmsg_type = type;
    header->nlmsg_flags = flags;
    mnl_nlmsg_put_extra_header(header, headerSize);
}

void* Message::FamilyHeader() { return mnl_nlmsg_get_payload(Header()); }

void Message::PutU32(std::uint16_t type, std::uint32_t value) { mnl_attr_put_u32(Header(), type, value); }

void Message::Put(std::uint16_t type, const void* data, std::size_t size) { mnl_attr_put(Header(), type, size, data); }

bool Execute(Message& request) {
    request.Header()->nlmsg_flags |= NLM_F_REQUEST | NLM_F_ACK;
    return Run(request, nullptr);
}

bool Dump(Message& request, const std::function<void(const nlmsghdr&)>& visit) {
    request.Header()->nlmsg_flags |= NLM_F_REQUEST | NLM_F_DUMP;
    return Run(request, &visit);
}

std::vector<const nlattr*> Attributes(const nlmsghdr& message, std::size_t familySize, std::uint16_t maxType) {
    std::vector<const nlattr*> table(std::size_t{maxType} + 1, nullptr);
    AttributeTable data{&table};
    mnl_attr_parse(&message, static_cast<unsigned>(familySize), KeepAttribute, &data);
    return table;
}

std::vector<const nlattr*> NestedAttributes(const nlattr* nest, std::uint16_t maxType) {
    std::vector<const nlattr*> table(std::size_t{maxType} + 1, nullptr);
    if (nest == nullptr) return table;
    AttributeTable data{&table};
    mnl_attr_parse_nested(nest, KeepAttribute, &data);
    return table;
}

std::optional<Ipv4Net> Ipv4Attribute(const nlattr* attribute) {
    if (attribute == nullptr || mnl_attr_get_payload_len(attribute) != 4) return std::nullopt;
    Ipv4Net address;
    std::memcpy(&address.value, mnl_attr_get_payload(attribute), 4);
    return address;
}

std::optional<std::vector<AddressRow>> ReadIpv4Addresses() {
    Message request(RTM_GETADDR, 0, sizeof(ifaddrmsg));
    request.Family<ifaddrmsg>()->ifa_family = AF_INET;
    std::vector<AddressRow> rows;
    const bool read = Dump(request, [&](const nlmsghdr& message) {
        if (message.nlmsg_type != RTM_NEWADDR) return;
        const auto* family = static_cast<const ifaddrmsg*>(mnl_nlmsg_get_payload(&message));
        if (family->ifa_family != AF_INET) return;
        const auto attributes = Attributes(message, sizeof(ifaddrmsg), IFA_MAX);
        const auto local =
            Ipv4Attribute(attributes[IFA_LOCAL] != nullptr ? attributes[IFA_LOCAL] : attributes[IFA_ADDRESS]);
        if (local) rows.push_back(AddressRow{static_cast<int>(family->ifa_index), *local, family->ifa_prefixlen});
    });
    if (!read) return std::nullopt;
    return rows;
}

}  // namespace pelmora::netlink
