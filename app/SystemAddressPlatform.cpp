#include "app/SystemAddressPlatform.h"

namespace pelmora {

std::optional<std::vector<AdapterInfo>> SystemAddressPlatform::ListAdapters() { return pelmora::ListAdapters(); }

std::optional<AddressContext> SystemAddressPlatform::AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) {
    return pelmora::AddIpv4Address(ifIndex, address, mask);
}

bool SystemAddressPlatform::DeleteIpv4Address(const AddressContext& context) {
    return pelmora::DeleteIpv4Address(context);
}

}  // namespace pelmora
