#include "app/SystemAddressPlatform.h"

namespace pelmora {

std::optional<std::vector<AdapterInfo>> SystemAddressPlatform::ListAdapters() { return pelmora::ListAdapters(); }

std::optional<AddressContext> SystemAddressPlatform::AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) {
    if (m_admin == nullptr) return std::nullopt;
    return m_admin->AddIpv4Address(ifIndex, address, mask);
}

bool SystemAddressPlatform::DeleteIpv4Address(const AddressContext& context) {
    return m_admin != nullptr && m_admin->DeleteIpv4Address(context);
}

}  // namespace pelmora
