#pragma once
// The network helper's side of one channel: each request line gets its reply line, and the one address
// the helper added is remembered until it is deleted on request or at the end (Release).
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "helper/HelperProtocol.h"
#include "platform/Adapters.h"
#include "platform/AddressTable.h"
#include "platform/NetworkAdmin.h"

namespace pelmora {

class HelperSession {
public:
    using ListLinks = std::function<std::optional<std::vector<AdapterInfo>>()>;

    // Both are borrowed for the session's life; links are read again for every add.
    HelperSession(NetworkAdmin& admin, ListLinks listLinks) : m_admin(admin), m_listLinks(std::move(listLinks)) {}

    // The reply line (without newline) to one request line.
    std::string Handle(const std::string& line);
    // Deletes the address still held: when the channel closes or a termination signal arrives.
    void Release();
    const std::optional<AddressContext>& Held() const { return m_held; }

private:
    std::string Add(const HelperRequest& request);
    std::string Delete(const HelperRequest& request);

    NetworkAdmin& m_admin;
    ListLinks m_listLinks;
    std::optional<AddressContext> m_held;
};

}  // namespace pelmora
