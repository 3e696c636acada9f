#include "helper/HelperSession.h"

#include <ctime>

#include "helper/HelperRules.h"

namespace pelmora {

namespace {

std::string Ok(std::string text = {}) { return FormatReply(HelperReply{true, std::move(text)}); }
std::string Refused(std::string reason) { return FormatReply(HelperReply{false, std::move(reason)}); }

bool HoldsOtherThan(const std::optional<std::vector<AdapterInfo>>& links, int ifIndex, Ipv4Net own) {
    if (!links) return true;
    for (const AdapterInfo& link : *links) {
        if (link.ifIndex != ifIndex) continue;
        for (const auto& entry : link.unicast)
            if (entry && *entry != own && ToOctets(*entry).bytes[0] != 0) return true;
        return false;
    }
    return true;
}

bool HoldsOn(const std::vector<AdapterInfo>& links, const AddressContext& held) {
    for (const AdapterInfo& link : links)
        if (link.ifIndex == held.ifIndex)
            for (const auto& entry : link.unicast)
                if (entry == held.address) return true;
    return false;
}

}  // namespace

std::string HelperSession::Handle(const std::string& line) {
    std::string error;
    const auto request = ParseRequest(line, error);
    if (!request) return Refused(error);
    switch (request->command) {
        case HelperCommand::Add: return Add(request->ifIndex);
        case HelperCommand::Delete: return Delete(*request);
        case HelperCommand::Flush: break;
    }
    return Flush(request->address);
}

std::string HelperSession::Add(int ifIndex) {
    if (m_held) return Refused("an address is already held: " + ToText(m_held->address));
    // Helpers started together would otherwise each see the link bare and each add an address.
    if (!m_host.LockAdds()) return Refused("another helper is adding an address");
    std::string reply = AddLocked(ifIndex);
    m_host.UnlockAdds();
    return reply;
}

std::string HelperSession::AddLocked(int ifIndex) {
    if (auto refusal = RefuseAdd(ifIndex, m_host.ListLinks())) return Refused(*refusal);
    const auto reached = m_host.ReachedSubnets();
    if (!reached) return Refused("cannot read the addresses and routes");
    const auto drawn = DrawTemporaryAddress(TemporarySeed(std::time(nullptr), &m_held), *reached);
    if (!drawn) return Refused("every drawn /24 overlaps a subnet this PC reaches");
    const auto added = m_host.AddAddress(ifIndex, ToNet(*drawn), TEMPORARY_LIFETIME);
    if (!added) return Refused("the kernel did not add the address");
    // Whoever does not take the lock (ip, another tool) may have raced the add.
    if (HoldsOtherThan(m_host.ListLinks(), ifIndex, added->address)) {
        m_host.DeleteAddress(*added);
        return Refused("another IPv4 address appeared on the link");
    }
    m_held = added;
    m_renewed = m_clock.Now();
    return Ok(ToText(added->address) + '/' + std::to_string(added->prefixLength));
}

std::string HelperSession::Delete(const HelperRequest& request) {
    if (!m_held || m_held->ifIndex != request.ifIndex || m_held->address != request.address ||
        m_held->prefixLength != request.prefixLength)
        return Refused("not the address this helper added");
    if (!m_host.DeleteAddress(*m_held)) return Refused("the kernel did not delete the address");
    m_held.reset();
    return Ok();
}

std::string HelperSession::Flush(Ipv4Net address) {
    if (m_flushes.size() == FLUSHES_PER_SECOND) {
        m_clock.SleepUntil(m_flushes.front() + std::chrono::seconds(1));
        m_flushes.pop_front();
    }
    m_flushes.push_back(m_clock.Now());
    const auto deleted = m_host.DeleteNeighbours(address);
    return deleted ? Ok(std::to_string(*deleted)) : Refused("cannot read the neighbour cache");
}

std::optional<Clock::TimePoint> HelperSession::NextRenewal() const {
    if (!m_held) return std::nullopt;
    return m_renewed + RENEW_INTERVAL;
}

void HelperSession::RenewIfDue() {
    if (!m_held || m_clock.Now() < m_renewed + RENEW_INTERVAL) return;
    m_renewed = m_clock.Now();
    // A renewal makes a deleted address again, so it goes only to ours while it is alone on its link: once
    // someone deleted it or gave the link an address of their own, the link is theirs.
    const auto links = m_host.ListLinks();
    if (!links) return;  // tried again next time; the lifetime leaves room for two more
    if (!HoldsOn(*links, *m_held)) {
        m_held.reset();
        return;
    }
    if (HoldsOtherThan(links, m_held->ifIndex, m_held->address) ||
        (m_host.RenewAddress(*m_held, TEMPORARY_LIFETIME) &&
         HoldsOtherThan(m_host.ListLinks(), m_held->ifIndex, m_held->address))) {
        m_host.DeleteAddress(*m_held);
        m_held.reset();
    }
}

void HelperSession::Release() {
    if (m_held) m_host.DeleteAddress(*m_held);
    m_held.reset();
}

}  // namespace pelmora
