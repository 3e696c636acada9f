#include "app/TemporaryAddress.h"

namespace pelmora {

std::optional<std::size_t> ChooseTemporaryAdapter(const std::vector<AdapterInfo>& adapters) {
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const AdapterInfo& adapter = adapters[i];
        if (adapter.ifIndex == 0 || !adapter.isEthernet) continue;
        if (!HoldsIpv4Address(adapter)) return i;
    }
    return std::nullopt;
}

TemporaryAddress::TemporaryAddress(AddressPlatform& platform) : m_platform(platform) {
    const auto adapters = m_platform.ListAdapters();
    if (!adapters) return;
    if (const auto chosen = ChooseTemporaryAdapter(*adapters))
        nteContext = m_platform.AddTemporaryAddress((*adapters)[*chosen].ifIndex);
}

TemporaryAddress::~TemporaryAddress() { Delete(); }

void TemporaryAddress::Delete() {
    if (nteContext) m_platform.DeleteIpv4Address(*nteContext);
    nteContext.reset();
}

}  // namespace pelmora
