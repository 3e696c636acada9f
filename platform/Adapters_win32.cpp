#include <vector>

#include "platform/Adapters.h"
#include "platform/WideText_win32.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {

namespace {

constexpr ULONG ADAPTER_LIST_BUFFER = 21600;
constexpr ULONG ADAPTER_LIST_FLAGS = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;

// The interface entry's type: Ethernet is MIB_IF_TYPE_ETHERNET (6); Wi-Fi, loopback and tunnels differ.
bool InterfaceIsEthernet(ULONG ifIndex) {
    MIB_IFROW row{};
    row.dwIndex = ifIndex;
    return GetIfEntry(&row) == NO_ERROR && row.dwType == MIB_IF_TYPE_ETHERNET;
}

}  // namespace

std::optional<std::vector<AdapterInfo>> ListAdapters() {
    // One fixed buffer: a list that does not fit is a failure, not a second try with more room.
    std::vector<unsigned char> buffer(ADAPTER_LIST_BUFFER);
    ULONG size = ADAPTER_LIST_BUFFER;
    auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    if (GetAdaptersAddresses(AF_INET, ADAPTER_LIST_FLAGS, nullptr, first, &size) != NO_ERROR) return std::nullopt;

    std::vector<AdapterInfo> adapters;
    for (const IP_ADAPTER_ADDRESSES* entry = first; entry != nullptr; entry = entry->Next) {
        AdapterInfo adapter;
        adapter.ifIndex = static_cast<int>(entry->IfIndex);
        if (entry->FriendlyName != nullptr) adapter.name = Utf8FromWide(entry->FriendlyName);
        // The interface type decides alone on Windows; it is the link-layer fact arpEther holds on Linux.
        adapter.arpEther = entry->IfIndex != 0 && InterfaceIsEthernet(entry->IfIndex);
        adapter.isEthernet = IsEthernetAdapter(adapter);
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = entry->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (address == nullptr || address->sa_family != AF_INET) {
                adapter.unicast.emplace_back();
                continue;
            }
            adapter.unicast.emplace_back(Ipv4Net{reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr});
        }
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

}  // namespace pelmora
