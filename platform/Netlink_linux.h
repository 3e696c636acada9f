#pragma once
// Route-netlink over libmnl: one request with its acknowledgement, or one dump. libmnl reads neither
// the environment nor files, so the network helper can link it before it has cleared its environment.
#include <linux/netlink.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/Ipv4.h"
#include "platform/AddressTable.h"

struct nlattr;

namespace pelmora::netlink {

// A request under construction: the netlink header, the family header of headerSize bytes, attributes.
class Message {
public:
    Message(std::uint16_t type, std::uint16_t flags, std::size_t headerSize);
    nlmsghdr* Header() { return reinterpret_cast<nlmsghdr*>(m_buffer.data()); }
    // The family header (ifaddrmsg, ndmsg, ...) right after the netlink header.
    template <typename T>
    T* Family() {
        return static_cast<T*>(FamilyHeader());
    }
    void PutU32(std::uint16_t type, std::uint32_t value);
    void Put(std::uint16_t type, const void* data, std::size_t size);

private:
    void* FamilyHeader();
    std::vector<unsigned char> m_buffer;
};

// Sends the request in the calling thread's network namespace and waits for the kernel's answer: true
// when it acknowledged, false on any error (the request is refused, or no socket).
bool Execute(Message& request);

// Sends a dump request and calls visit for every message of the answer; false when the dump failed.
bool Dump(Message& request, const std::function<void(const nlmsghdr&)>& visit);

// The attributes of a message after its family header, indexed by type up to maxType; a type that
// appears more than once keeps its first occurrence.
std::vector<const nlattr*> Attributes(const nlmsghdr& message, std::size_t familySize, std::uint16_t maxType);
std::vector<const nlattr*> NestedAttributes(const nlattr* nest, std::uint16_t maxType);
std::optional<Ipv4Net> Ipv4Attribute(const nlattr* attribute);

// Every IPv4 address with its interface and prefix, in the kernel's dump order (by interface, primary
// first); nothing when the table cannot be read.
std::optional<std::vector<AddressRow>> ReadIpv4Addresses();

}  // namespace pelmora::netlink
