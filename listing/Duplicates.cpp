#include "listing/Duplicates.h"

#include <map>

#include "base/Ipv4.h"
#include "listing/DeviceColumns.h"
#include "protocol/MacAddress.h"

namespace pelmora {

namespace {

// Every row of a group of two or more gets the warning, naming the units of the others.
void FlagGroup(const std::vector<std::size_t>& rows, const DeviceStore& store, Column column, const std::string& what,
               std::vector<RowWarnings>& out) {
    if (rows.size() < 2) return;
    for (const std::size_t row : rows) {
        std::string others;
        for (const std::size_t other : rows) {
            if (other == row) continue;
            if (!others.empty()) others += ", ";
            others += MacText(store.RecordAt(static_cast<long>(other))->mac);
        }
        out[row][column] = what + " is also used by " + others;
    }
}

}  // namespace

std::vector<RowWarnings> FindDuplicates(const DeviceStore& store) {
    std::vector<RowWarnings> out(store.Count());
    std::map<long, std::vector<std::size_t>> byDeviceNumber;
    std::map<std::uint32_t, std::vector<std::size_t>> byAddress;
    for (std::size_t row = 0; row < store.Count(); ++row) {
        const DeviceRecord& record = *store.RecordAt(static_cast<long>(row));
        if (HasBacnet(record)) byDeviceNumber[ShownDeviceNumber(record)].push_back(row);
        const Ipv4Octets address{{record.ipAddress[0], record.ipAddress[1], record.ipAddress[2], record.ipAddress[3]}};
        if (ToHost(address) != ANY_ADDRESS) byAddress[ToHost(address).value].push_back(row);
    }
    for (const auto& [number, rows] : byDeviceNumber)
        FlagGroup(rows, store, COL_DEVICE_ID, "Device ID " + std::to_string(number), out);
    for (const auto& [address, rows] : byAddress)
        FlagGroup(rows, store, COL_IP_ADDRESS, "IP address " + ToText(Ipv4Host{address}), out);
    return out;
}

std::vector<std::string> FlaggedHeadings(const RowWarnings& warnings) {
    std::vector<std::string> headings;
    for (const Column column : {COL_DEVICE_ID, COL_IP_ADDRESS}) {
        if (!warnings[column].empty()) headings.emplace_back(DEVICE_COLUMNS[column].heading);
    }
    return headings;
}

std::string FlaggedHeadingsText(const RowWarnings& warnings) {
    std::string text;
    for (const std::string& heading : FlaggedHeadings(warnings)) {
        if (!text.empty()) text += ", ";
        text += heading;
    }
    return text;
}

}  // namespace pelmora
