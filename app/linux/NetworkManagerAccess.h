#pragma once
// What the temporary address asks of NetworkManager. Passed in, so the choice between it and the
// network helper is tested with a fake.
#include <optional>
#include <string>

#include "base/Ipv4.h"

namespace pelmora {

class NetworkManagerAccess {
public:
    NetworkManagerAccess() = default;
    virtual ~NetworkManagerAccess() = default;
    NetworkManagerAccess(const NetworkManagerAccess&) = delete;
    NetworkManagerAccess& operator=(const NetworkManagerAccess&) = delete;
    NetworkManagerAccess(NetworkManagerAccess&&) = delete;
    NetworkManagerAccess& operator=(NetworkManagerAccess&&) = delete;

    virtual bool Running() = 0;
    virtual bool ManagesAdapter(int ifIndex) = 0;
    // Activates, on the adapter, a volatile profile of the user's with address/24 that NetworkManager
    // drops as soon as this process leaves the bus. Nothing once it is active; else why not.
    virtual std::optional<std::string> Activate(int ifIndex, Ipv4Net address) = 0;
    // Deactivates what Activate made, which also removes the profile and the address.
    virtual void Release() = 0;
};

}  // namespace pelmora
