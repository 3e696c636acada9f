#pragma once
// The network helper's side of one channel: each request line gets its reply line, and the one address
// the helper added is remembered, and its lifetime renewed, until it is deleted on request or at the
// end (Release). The address lives TEMPORARY_LIFETIME unless renewed, so the kernel removes it however
// the helper ends.
#include <chrono>
#include <deque>
#include <optional>
#include <string>

#include "helper/HelperHost.h"
#include "helper/HelperProtocol.h"
#include "platform/Clock.h"

namespace pelmora {

constexpr std::chrono::seconds TEMPORARY_LIFETIME{30};
// A third of the lifetime, so that one late renewal still finds the address there.
constexpr std::chrono::seconds RENEW_INTERVAL{10};
// Neighbour flushes served in any one second; more wait their turn.
constexpr std::size_t FLUSHES_PER_SECOND = 4;

class HelperSession {
public:
    // Both are borrowed for the session's life.
    HelperSession(HelperHost& host, Clock& clock) : m_host(host), m_clock(clock) {}

    // The reply line (without newline) to one request line.
    std::string Handle(const std::string& line);
    // When the held address is next due for renewal; nothing while none is held.
    std::optional<Clock::TimePoint> NextRenewal() const;
    // Renews the held address when it is due, while it is on its link and the link holds no other IPv4
    // address. Otherwise the helper stops holding it for good: gone, it stays gone; beside another address, it
    // is deleted.
    void RenewIfDue();
    // Deletes the address still held: when the channel closes or a termination signal arrives.
    void Release();
    const std::optional<AddressContext>& Held() const { return m_held; }

private:
    std::string Add(int ifIndex);
    std::string AddLocked(int ifIndex);
    std::string Delete(const HelperRequest& request);
    std::string Flush(Ipv4Net address);

    HelperHost& m_host;
    Clock& m_clock;
    std::optional<AddressContext> m_held;
    Clock::TimePoint m_renewed{};
    std::deque<Clock::TimePoint> m_flushes;
};

}  // namespace pelmora
