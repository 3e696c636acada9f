#include <vector>

#include "platform/Neighbours.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {

namespace {

// The ARP table, unsorted, in a buffer of 65536 bytes; nothing when it is empty, larger, or unreadable.
std::optional<std::vector<MIB_IPNETROW>> ReadArpTable() {
    constexpr ULONG ARP_TABLE_BUFFER = 65536;
    std::vector<unsigned char> buffer(ARP_TABLE_BUFFER);
    ULONG size = ARP_TABLE_BUFFER;
    auto* table = reinterpret_cast<MIB_IPNETTABLE*>(buffer.data());
    if (GetIpNetTable(table, &size, FALSE) != NO_ERROR) return std::nullopt;
    return std::vector<MIB_IPNETROW>(table->table, table->table + table->dwNumEntries);
}

}  // namespace

std::optional<std::vector<NeighbourEntry>> ReadNeighbours() {
    const auto rows = ReadArpTable();
    if (!rows) return std::nullopt;
    std::vector<NeighbourEntry> entries;
    entries.reserve(rows->size());
    for (const MIB_IPNETROW& row : *rows)
        entries.push_back(NeighbourEntry{static_cast<int>(row.dwIndex), Ipv4Net{row.dwAddr}});
    return entries;
}

std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) {
    auto rows = ReadArpTable();
    if (!rows) return std::nullopt;
    std::size_t deleted = 0;
    // An entry someone made static stays, as on Linux; only what the PC learnt goes.
    for (MIB_IPNETROW& row : *rows) {
        if (row.dwAddr == address.value && row.dwType == MIB_IPNET_TYPE_DYNAMIC && DeleteIpNetEntry(&row) == NO_ERROR)
            ++deleted;
    }
    return deleted;
}

}  // namespace pelmora
