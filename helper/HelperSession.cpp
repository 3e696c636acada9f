#include "helper/HelperSession.h"

#include "helper/HelperRules.h"

namespace pelmora {

namespace {

std::string Ok(std::string text = {}) { return FormatReply(HelperReply{true, std::move(text)}); }
std::string Refused(std::string reason) { return FormatReply(HelperReply{false, std::move(reason)}); }

Ipv4Net MaskOf(std::uint8_t prefixLength) {
    return ToNet(Ipv4Host{prefixLength == 0 ? 0u : 0xFFFFFFFFu << (32u - prefixLength)});
}

}  // namespace

std::string HelperSession::Handle(const std::string& line) {
    std::string error;
    const auto request = ParseRequest(line, error);
    if (!request) return Refused(error);
    switch (request->command) {
        case HelperCommand::Add: return Add(*request);
        case HelperCommand::Delete: return Delete(*request);
        case HelperCommand::Flush: break;
    }
    const auto deleted = m_admin.DeleteNeighbours(request->address);
    return deleted ? Ok(std::to_string(*deleted)) : Refused("cannot read the neighbour cache");
}

std::string HelperSession::Add(const HelperRequest& request) {
    if (m_held) return Refused("an address is already held: " + ToText(m_held->address));
    if (auto refusal = RefuseAdd(request, m_listLinks())) return Refused(*refusal);
    m_held = m_admin.AddIpv4Address(request.ifIndex, request.address, MaskOf(request.prefixLength));
    return m_held ? Ok() : Refused("the kernel did not add the address");
}

std::string HelperSession::Delete(const HelperRequest& request) {
    if (!m_held || m_held->ifIndex != request.ifIndex || m_held->address != request.address ||
        m_held->prefixLength != request.prefixLength)
        return Refused("not the address this helper added");
    if (!m_admin.DeleteIpv4Address(*m_held)) return Refused("the kernel did not delete the address");
    m_held.reset();
    return Ok();
}

void HelperSession::Release() {
    if (m_held) m_admin.DeleteIpv4Address(*m_held);
    m_held.reset();
}

}  // namespace pelmora
