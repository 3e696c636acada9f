#include "tools/simulator/AddressClaims.h"

namespace pelmora {
namespace {

bool Claimable(Ipv4Octets address) {
    return address.bytes[0] != 0 && address.bytes[0] != 127 && address.bytes[0] < 224;
}

}  // namespace

AddressClaims::~AddressClaims() {
    for (const auto& entry : m_held) {
        if (entry.second.context) DeleteIpv4Address(*entry.second.context);
    }
}

bool AddressClaims::Start(std::string& error) {
    const auto adapters = ListAdapters();
    if (!adapters) {
        error = "cannot list the interfaces";
        return false;
    }
    for (const AdapterInfo& adapter : *adapters) {
        for (const auto& address : adapter.unicast) {
            if (address && ToOctets(*address).bytes[0] != 127) {
                m_ifIndex = adapter.ifIndex;
                return true;
            }
        }
    }
    error = "no interface with an IPv4 address outside 127.0.0.0/8 to put device addresses on";
    return false;
}

void AddressClaims::Claim(Ipv4Octets address) {
    if (m_ifIndex <= 0 || !Claimable(address)) return;
    Held& held = m_held[ToHost(address).value];
    if (held.users++ > 0) return;
    held.context = AddIpv4Address(m_ifIndex, ToNet(address), ToNet(BROADCAST_ADDRESS));
    JsonObject note;
    note.AddText("dir", "note").AddText("event", "claim").AddText("ip", ToText(address));
    note.AddBool("added", held.context.has_value());
    m_log.Write(note);
}

void AddressClaims::Release(Ipv4Octets address) {
    const auto found = m_held.find(ToHost(address).value);
    if (found == m_held.end() || --found->second.users > 0) return;
    if (found->second.context) {
        DeleteIpv4Address(*found->second.context);
        JsonObject note;
        note.AddText("dir", "note").AddText("event", "release").AddText("ip", ToText(address));
        m_log.Write(note);
    }
    m_held.erase(found);
}

}  // namespace pelmora
