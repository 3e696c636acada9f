#pragma once
#include "app/AddressPlatform.h"
#include "platform/NetworkAdmin.h"

namespace pelmora {

// This PC's adapters, read directly (no rights needed); the address is drawn, added and deleted through
// admin, the network helper. Without one (null) every add fails, silently.
class SystemAddressPlatform final : public AddressPlatform {
public:
    explicit SystemAddressPlatform(NetworkAdmin* admin) : m_admin(admin) {}

    std::optional<std::vector<AdapterInfo>> ListAdapters() override;
    std::optional<AddressContext> AddTemporaryAddress(int ifIndex) override;
    bool DeleteIpv4Address(const AddressContext& context) override;

private:
    NetworkAdmin* m_admin;
};

}  // namespace pelmora
