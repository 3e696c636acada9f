#pragma once
// The temporary address where the program changes addresses itself (Windows): the adapters read
// directly, the address added and deleted through a NetworkAdmin with the user's own rights.
#include "app/AddressPlatform.h"
#include "platform/NetworkAdmin.h"

namespace pelmora {

class AdminAddressPlatform final : public AddressPlatform {
public:
    explicit AdminAddressPlatform(NetworkAdmin& admin) : m_admin(admin) {}

    std::optional<std::vector<AdapterInfo>> ListAdapters() override { return pelmora::ListAdapters(); }
    std::optional<AddressContext> AddTemporaryAddress(int ifIndex) override {
        return m_admin.AddTemporaryAddress(ifIndex);
    }
    bool DeleteIpv4Address(const AddressContext& context) override { return m_admin.DeleteIpv4Address(context); }

private:
    NetworkAdmin& m_admin;
};

}  // namespace pelmora
