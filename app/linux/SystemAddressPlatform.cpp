#include "app/linux/SystemAddressPlatform.h"

#include <net/if.h>

#include <cstdint>
#include <ctime>

#include "app/linux/AddressPathChoice.h"
#include "platform/RandomTemporaryAddress.h"

namespace pelmora {

namespace {

std::string InterfaceName(int ifIndex) {
    char name[IF_NAMESIZE] = {};
    if (if_indextoname(static_cast<unsigned>(ifIndex), name) == nullptr) return "interface " + std::to_string(ifIndex);
    return name;
}

}  // namespace

std::optional<std::vector<AdapterInfo>> SystemAddressPlatform::ListAdapters() { return pelmora::ListAdapters(); }

std::optional<AddressContext> SystemAddressPlatform::AddTemporaryAddress(int ifIndex) {
    if (m_networkManager != nullptr && m_networkManager->Running()) {
        if (auto managed = AddThroughNetworkManager(ifIndex)) return managed;
    }
    if (m_admin == nullptr) return std::nullopt;
    return m_admin->AddTemporaryAddress(ifIndex);
}

std::optional<AddressContext> SystemAddressPlatform::AddThroughNetworkManager(int ifIndex) {
    NetworkManagerAnswers answers;
    answers.running = true;
    answers.managesAdapter = m_networkManager->ManagesAdapter(ifIndex);
    std::optional<Ipv4Net> address;
    if (ShouldActivate(answers)) {
        const auto table = ReadIpv4AddressTable(SIZE_MAX);
        const auto routes = ReadIpv4Routes();
        if (table && routes) {
            if (const auto drawn =
                    DrawTemporaryAddress(TemporarySeed(std::time(nullptr), this), ReachedSubnets(*table, *routes)))
                address = ToNet(*drawn);
        }
        const auto refusal = address ? m_networkManager->Activate(ifIndex, *address)
                                     : std::optional<std::string>("no address could be drawn");
        answers.activated = !refusal;
        answers.refusal = refusal.value_or("");
    }
    const std::string adapter = InterfaceName(ifIndex);
    const AddressPathChoice choice = ChooseAddressPath(answers, adapter);
    if (choice.path == AddressPath::NetworkManager) {
        m_managed = AddressContext{ifIndex, *address, TEMPORARY_PREFIX};
        if (m_note) m_note("temporary address " + ToText(*address) + "/24 through NetworkManager: " + choice.why);
        return m_managed;
    }
    if (m_note) m_note("temporary address through the network helper: " + choice.why);
    return std::nullopt;
}

bool SystemAddressPlatform::DeleteIpv4Address(const AddressContext& context) {
    if (m_managed && m_managed->ifIndex == context.ifIndex && m_managed->address == context.address) {
        m_networkManager->Release();
        m_managed.reset();
        return true;
    }
    return m_admin != nullptr && m_admin->DeleteIpv4Address(context);
}

}  // namespace pelmora
