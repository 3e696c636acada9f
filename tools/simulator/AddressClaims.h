#pragma once
// The simulated devices' own addresses put on the namespace's interface as /32s, so that unicasts to a
// device (a configuration write to its current address) arrive and its address answers ARP.
#include <map>
#include <optional>
#include <string>

#include "base/Ipv4.h"
#include "platform/Adapters.h"
#include "platform/AddressTable.h"
#include "tools/simulator/EventLog.h"

namespace pelmora {

class AddressClaims {
public:
    explicit AddressClaims(EventLog& log) : m_log(log) {}
    ~AddressClaims();  // removes every address it added
    AddressClaims(const AddressClaims&) = delete;
    AddressClaims& operator=(const AddressClaims&) = delete;

    // Picks the first interface with an IPv4 address outside 127.0.0.0/8. False with a reason.
    bool Start(std::string& error);
    // Counted: an address two devices share is added once and removed with its last device.
    void Claim(Ipv4Octets address);
    void Release(Ipv4Octets address);

private:
    struct Held {
        std::optional<AddressContext> context;  // empty: the address was already there, or adding failed
        int users = 0;
    };
    EventLog& m_log;
    int m_ifIndex = 0;
    std::map<std::uint32_t, Held> m_held;  // by address, host order
};

}  // namespace pelmora
