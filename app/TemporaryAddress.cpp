#include "app/TemporaryAddress.h"

namespace pelmora {

std::optional<std::size_t> ChooseTemporaryAdapter(const std::vector<AdapterInfo>& adapters) {
    std::optional<std::size_t> firstQualifying;
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const AdapterInfo& adapter = adapters[i];
        if (adapter.ifIndex == 0 || !adapter.isEthernet || HoldsIpv4Address(adapter)) continue;
        if (adapter.connected) return i;
        if (!firstQualifying) firstQualifying = i;
    }
    // None is cabled yet: the technician may plug in after the start.
    return firstQualifying;
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
