#pragma once
// HelperHost straight through rtnetlink, for the process that holds CAP_NET_ADMIN: the network helper.
#include "helper/HelperHost.h"

namespace pelmora {

class SystemHelperHost final : public HelperHost {
public:
    // How long an add waits for another helper's add to finish.
    static constexpr std::chrono::milliseconds LOCK_WAIT{2000};

    SystemHelperHost() = default;
    ~SystemHelperHost() override;
    SystemHelperHost(const SystemHelperHost&) = delete;
    SystemHelperHost& operator=(const SystemHelperHost&) = delete;
    SystemHelperHost(SystemHelperHost&&) = delete;
    SystemHelperHost& operator=(SystemHelperHost&&) = delete;

    std::optional<std::vector<AdapterInfo>> ListLinks() override;
    std::optional<std::vector<Subnet>> ReachedSubnets() override;
    std::optional<AddressContext> AddAddress(int ifIndex, Ipv4Net address, std::chrono::seconds lifetime) override;
    bool RenewAddress(const AddressContext& context, std::chrono::seconds lifetime) override;
    bool DeleteAddress(const AddressContext& context) override;
    std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) override;
    bool LockAdds() override;
    void UnlockAdds() override;

private:
    int m_lock = -1;
};

}  // namespace pelmora
