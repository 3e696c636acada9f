#include "app/SystemAddressPlatform.h"

namespace pelmora {

std::optional<std::vector<AdapterInfo>> SystemAddressPlatform::ListAdapters() { return pelmora::ListAdapters(); }

std::optional<AddressContext> SystemAddressPlatform::AddTemporaryAddress(int ifIndex) {
    if (m_admin == nullptr) return std::nullopt;
    return m_admin->AddTemporaryAddress(ifIndex);
}

bool SystemAddressPlatform::DeleteIpv4Address(const AddressContext& context) {
    return m_admin != nullptr && m_admin->DeleteIpv4Address(context);
}

}  // namespace pelmora
