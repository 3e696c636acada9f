#include <cstddef>
#include <vector>

#include "platform/AddressTable.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {

std::optional<std::vector<AddressRow>> ReadIpv4AddressTable(std::size_t maxRows) {
    // Room for maxRows rows and no more: a larger table is a failure, not a cut one.
    ULONG size = static_cast<ULONG>(offsetof(MIB_IPADDRTABLE, table) + maxRows * sizeof(MIB_IPADDRROW));
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
    if (GetIpAddrTable(table, &size, FALSE) != NO_ERROR || table->dwNumEntries > maxRows) return std::nullopt;
    std::vector<AddressRow> rows;
    rows.reserve(table->dwNumEntries);
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IPADDRROW& row = table->table[i];
        rows.push_back(AddressRow{static_cast<int>(row.dwIndex), Ipv4Net{row.dwAddr},
                                  PrefixLength(Ipv4Net{row.dwMask}).value_or(32)});
    }
    return rows;
}

std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) {
    const auto prefix = PrefixLength(mask);
    if (!prefix || ifIndex <= 0) return std::nullopt;
    ULONG context = 0;
    ULONG instance = 0;
    if (AddIPAddress(address.value, mask.value, static_cast<DWORD>(ifIndex), &context, &instance) != NO_ERROR ||
        context == 0)
        return std::nullopt;
    AddressContext added{ifIndex, address, *prefix};
    added.nteContext = context;
    return added;
}

bool DeleteIpv4Address(const AddressContext& context) {
    return context.nteContext != 0 && DeleteIPAddress(context.nteContext) == NO_ERROR;
}

std::optional<std::vector<RouteRow>> ReadIpv4Routes() {
    MIB_IPFORWARD_TABLE2* table = nullptr;
    if (GetIpForwardTable2(AF_INET, &table) != NO_ERROR || table == nullptr) return std::nullopt;
    std::vector<RouteRow> routes;
    routes.reserve(table->NumEntries);
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IPFORWARD_ROW2& row = table->Table[i];
        if (row.DestinationPrefix.Prefix.si_family != AF_INET) continue;
        RouteRow route;
        route.destination.value = row.DestinationPrefix.Prefix.Ipv4.sin_addr.s_addr;
        route.prefixLength = row.DestinationPrefix.PrefixLength;
        // An on-link route has the next hop 0.0.0.0: no gateway.
        if (row.NextHop.si_family == AF_INET && row.NextHop.Ipv4.sin_addr.s_addr != 0)
            route.gateways.push_back(Ipv4Net{row.NextHop.Ipv4.sin_addr.s_addr});
        routes.push_back(std::move(route));
    }
    FreeMibTable(table);
    return routes;
}

}  // namespace pelmora
