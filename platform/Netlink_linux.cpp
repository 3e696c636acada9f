#include "Netlink_linux.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace pelmora::netlink {

SocketPtr Connect() {
    SocketPtr socket(nl_socket_alloc());
    if (!socket) return nullptr;
    if (nl_connect(socket.get(), NETLINK_ROUTE) < 0) return nullptr;
    return socket;
}

std::optional<Ipv4Net> ToIpv4(const nl_addr* address) {
    if (address == nullptr || nl_addr_get_family(address) != AF_INET || nl_addr_get_len(address) != 4)
        return std::nullopt;
    Ipv4Net net;
    std::memcpy(&net.value, nl_addr_get_binary_addr(address), 4);
    return net;
}

AddrPtr FromIpv4(Ipv4Net address, unsigned prefixLength) {
    AddrPtr result(nl_addr_build(AF_INET, &address.value, 4));
    if (result) nl_addr_set_prefixlen(result.get(), static_cast<int>(prefixLength));
    return result;
}

}  // namespace pelmora::netlink
