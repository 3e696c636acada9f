#pragma once
#include "app/AddressPlatform.h"
#include "platform/NetworkAdmin.h"

namespace pelmora {

// This PC's adapters, read directly (no rights needed); the address is added and deleted through admin,
// the network helper. Without one (null) every add fails, silently.
class SystemAddressPlatform final : public AddressPlatform {
public:
    explicit SystemAddressPlatform(NetworkAdmin* admin) : m_admin(admin) {}

    std::optional<std::vector<AdapterInfo>> ListAdapters() override;
    std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) override;
    bool DeleteIpv4Address(const AddressContext& context) override;

private:
    NetworkAdmin* m_admin;
};

}  // namespace pelmora
