#pragma once
#include <functional>
#include <string>

#include "app/AddressPlatform.h"
#include "app/linux/NetworkManagerAccess.h"
#include "platform/NetworkAdmin.h"

namespace pelmora {

// This PC's adapters, read directly (no rights needed). The address goes through NetworkManager where it
// runs and manages the adapter (this process draws it then), else it is drawn, added and deleted by
// admin, the network helper. Without either (null) every add fails, silently.
class SystemAddressPlatform final : public AddressPlatform {
public:
    using NoteFunction = std::function<void(const std::string&)>;

    explicit SystemAddressPlatform(NetworkAdmin* admin, NetworkManagerAccess* networkManager = nullptr,
                                   NoteFunction note = {})
        : m_admin(admin), m_networkManager(networkManager), m_note(std::move(note)) {}

    std::optional<std::vector<AdapterInfo>> ListAdapters() override;
    std::optional<AddressContext> AddTemporaryAddress(int ifIndex) override;
    bool DeleteIpv4Address(const AddressContext& context) override;

private:
    std::optional<AddressContext> AddThroughNetworkManager(int ifIndex);

    NetworkAdmin* m_admin;
    NetworkManagerAccess* m_networkManager;
    // Told which path the address took and why, once NetworkManager was there to ask.
    NoteFunction m_note;
    std::optional<AddressContext> m_managed;
};

}  // namespace pelmora
