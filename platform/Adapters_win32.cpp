#include <vector>

#include "platform/Adapters.h"
#include "platform/WideText_win32.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {

namespace {

constexpr ULONG ADAPTER_LIST_BUFFER = 21600;
constexpr ULONG ADAPTER_LIST_FLAGS = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;

// Media that carry Ethernet frames over the air: a Bluetooth PAN adapter is of type 6 too.
bool IsWirelessMedium(NDIS_PHYSICAL_MEDIUM medium) {
    return medium == NdisPhysicalMediumWirelessLan || medium == NdisPhysicalMediumWirelessWan ||
           medium == NdisPhysicalMediumNative802_11 || medium == NdisPhysicalMediumBluetooth ||
           medium == NdisPhysicalMediumWiMax || medium == NdisPhysicalMediumUWB;
}

// The interface row's facts: Ethernet is IF_TYPE_ETHERNET_CSMACD (6), and Wi-Fi, loopback and tunnels
// differ; a TAP or other virtual adapter is no hardware interface; an unplugged port is still one.
void FillFromInterfaceRow(AdapterInfo& adapter) {
    MIB_IF_ROW2 row{};
    row.InterfaceIndex = static_cast<NET_IFINDEX>(adapter.ifIndex);
    if (adapter.ifIndex == 0 || GetIfEntry2(&row) != NO_ERROR) return;
    adapter.arpEther = row.Type == IF_TYPE_ETHERNET_CSMACD;
    adapter.wireless = IsWirelessMedium(row.PhysicalMediumType);
    adapter.hasBusDevice = row.InterfaceAndOperStatusFlags.HardwareInterface != FALSE &&
                           row.InterfaceAndOperStatusFlags.ConnectorPresent != FALSE;
    adapter.connected = row.MediaConnectState == MediaConnectStateConnected && row.OperStatus == IfOperStatusUp;
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
        FillFromInterfaceRow(adapter);
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
    // The rule Linux applies too: on Windows no link has a kind, so it is an Ethernet interface of type 6,
    // not wireless, with hardware and a connector behind it.
    MarkEthernetAdapters(adapters);
    return adapters;
}

}  // namespace pelmora
