#include "devices/Plan.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "listing/RowTexts.h"
#include "protocol/DeviceRecord.h"

namespace pelmora {

namespace {

constexpr const char* UNIT_HEADING = "Unit";
// The list's own columns that a plan cannot set: an exported list reads back as a plan.
constexpr const char* READ_ONLY_HEADINGS[] = {"BACnet", "Revision", "Duplicates"};

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameHeading(const std::string& a, const char* b) {
    const std::string bText = b;
    return a.size() == bText.size() && std::equal(a.begin(), a.end(), bText.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsText(Setting setting) {
    return setting == Setting::DeviceName || setting == Setting::Location || setting == Setting::Description ||
           setting == Setting::Bbmd;
}

std::optional<MacBytes> ReadMac(const std::string& text) {
    if (auto mac = ParseMacText(text)) return mac;
    if (text.size() != 12) return std::nullopt;
    std::string colons;
    for (std::size_t i = 0; i < 12; i += 2) colons += (i > 0 ? ":" : "") + text.substr(i, 2);
    return ParseMacText(colons);
}

// What the column of each header cell holds.
struct ColumnKind {
    enum { Ignored, Unit, Value } kind = Ignored;
    Setting setting = Setting::IpAddress;
};

PlanProblem AtCell(const CsvCell& cell, std::string heading, std::string message) {
    return PlanProblem{cell.line, cell.column, std::move(heading), std::move(message)};
}

std::string NowText(const DeviceRecord& record, const DeviceSettings& current, Setting setting) {
    // The list's "(N)" says which instance a factory-default device answers with.
    if (setting == Setting::DeviceId && current.deviceId == FACTORY_DEFAULT_DEVICE_ID)
        return RowTexts(record)[COL_DEVICE_ID];
    return SettingText(current, setting);
}

bool Changes(const PlanItem& item, Setting setting) {
    return std::any_of(item.changes.begin(), item.changes.end(),
                       [setting](const SettingChange& change) { return change.setting == setting; });
}

// The device number a BACnet device answers with once the plan is done.
long FinalDeviceNumber(const DeviceRecord& record, std::int32_t deviceId) {
    DeviceRecord after = record;
    after.deviceId = deviceId;
    return ShownDeviceNumber(after);
}

}  // namespace

std::string ProblemText(const PlanProblem& problem) {
    std::string text = "line " + std::to_string(problem.line);
    if (problem.column > 0) text += ", column " + std::to_string(problem.column);
    if (!problem.heading.empty()) text += " (" + problem.heading + ")";
    return text + ": " + problem.message;
}

std::vector<PlanProblem> ParsePlan(const std::string& text, Plan& plan) {
    plan.rows.clear();
    std::vector<PlanProblem> problems;
    const CsvRead csv = ReadCsv(text);
    if (!csv.error.empty()) return {PlanProblem{csv.errorLine, 0, {}, csv.error}};
    if (csv.rows.empty()) return {PlanProblem{1, 0, {}, "the plan is empty: it needs a header row"}};

    const CsvRow& header = csv.rows.front();
    std::vector<ColumnKind> columns(header.size());
    std::vector<std::string> headings(header.size());
    bool hasUnit = false;
    for (std::size_t c = 0; c < header.size(); ++c) {
        const std::string heading = Trimmed(header[c].text);
        headings[c] = heading;
        if (heading.empty()) continue;
        const auto earlier = std::find_if(headings.begin(), headings.begin() + static_cast<long>(c),
                                          [&](const std::string& h) { return SameHeading(h, heading.c_str()); });
        if (earlier != headings.begin() + static_cast<long>(c)) {
            problems.push_back(AtCell(header[c], heading, "this column is given twice"));
        } else if (SameHeading(heading, UNIT_HEADING)) {
            columns[c].kind = ColumnKind::Unit;
            hasUnit = true;
        } else if (const auto setting = SettingOfHeading(heading)) {
            columns[c] = {ColumnKind::Value, *setting};
        } else if (std::none_of(std::begin(READ_ONLY_HEADINGS), std::end(READ_ONLY_HEADINGS),
                                [&](const char* h) { return SameHeading(heading, h); })) {
            problems.push_back(AtCell(header[c], heading, "unknown column \"" + heading + "\""));
        }
    }
    // Two headings for one setting ("Name" and "Device Name") are one column given twice.
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (std::size_t d = 0; d < c; ++d)
            if (columns[c].kind == ColumnKind::Value && columns[d].kind == ColumnKind::Value &&
                columns[c].setting == columns[d].setting)
                problems.push_back(
                    AtCell(header[c], headings[c], "names the same setting as column " + std::to_string(d + 1)));
    if (!hasUnit)
        problems.push_back(
            PlanProblem{header.front().line, 0, {}, "no \"Unit\" column: it names each device by its MAC"});
    if (!problems.empty()) return problems;

    std::map<MacBytes, int> lines;
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        const CsvRow& cells = csv.rows[r];
        PlanRow row;
        row.line = cells.front().line;
        bool unitSeen = false;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const CsvCell& cell = cells[c];
            if (c >= columns.size() || headings[c].empty()) {
                if (!Trimmed(cell.text).empty()) problems.push_back(AtCell(cell, {}, "a cell under no heading"));
                continue;
            }
            if (columns[c].kind == ColumnKind::Unit) {
                unitSeen = true;
                row.unitColumn = cell.column;
                const auto mac = ReadMac(Trimmed(cell.text));
                if (!mac) {
                    problems.push_back(AtCell(cell, UNIT_HEADING, "not a MAC address: \"" + cell.text + "\""));
                    continue;
                }
                row.mac = *mac;
                if (const auto [at, fresh] = lines.emplace(*mac, row.line); !fresh)
                    problems.push_back(AtCell(
                        cell, UNIT_HEADING, "MAC " + MacText(*mac) + " is also on line " + std::to_string(at->second)));
            } else if (columns[c].kind == ColumnKind::Value && !cell.text.empty()) {
                CsvCell given = cell;
                if (!IsText(columns[c].setting)) given.text = Trimmed(given.text);
                if (!given.text.empty()) row.cells[static_cast<std::size_t>(columns[c].setting)] = given;
            }
        }
        if (!unitSeen) problems.push_back(PlanProblem{row.line, 0, UNIT_HEADING, "no MAC address"});
        plan.rows.push_back(row);
    }
    return problems;
}

PlanCheck CheckPlan(const Plan& plan, const ReplyStore& replies) {
    PlanCheck check;
    std::map<MacBytes, DeviceRecord> records;
    for (const auto& [key, list] : replies) {
        DeviceRecord record;
        ParseDeviceRecord(record, list);
        records[MacOf(record)] = record;
    }
    std::map<MacBytes, const PlanRow*> rowOf;
    for (const PlanRow& row : plan.rows) {
        PlanItem item;
        item.line = row.line;
        item.mac = row.mac;
        const auto found = records.find(row.mac);
        const DeviceRecord* record = found == records.end() ? nullptr : &found->second;
        if (record != nullptr) {
            item.current = SettingsFromRecord(*record);
            rowOf[row.mac] = &row;
        }
        item.planned = item.current;
        for (const Setting setting : ALL_SETTINGS) {
            const auto& cell = row.cells[static_cast<std::size_t>(setting)];
            if (!cell || (record != nullptr && ShowsCurrentValue(cell->text, *record, setting))) continue;
            const std::string why = ReadSettingCell(cell->text, setting, item.planned);
            if (!why.empty())
                check.problems.push_back(AtCell(*cell, SettingHeading(setting), why + ": \"" + cell->text + "\""));
        }
        if (record != nullptr) {
            for (const Setting setting : ALL_SETTINGS)
                if (SettingText(item.current, setting) != SettingText(item.planned, setting))
                    item.changes.push_back(
                        {setting, NowText(*record, item.current, setting), SettingText(item.planned, setting)});
            item.action = item.changes.empty() ? PlanAction::Unchanged : PlanAction::Change;
            // Such a device has no edit dialog; its row in an exported list changes nothing.
            if (!HasBacnet(*record) && !item.changes.empty())
                check.problems.push_back(PlanProblem{row.line, row.unitColumn, UNIT_HEADING,
                                                     MacText(row.mac) + " has no BACnet, so no settings to write"});
            if (item.planned.dhcp) {
                // With DHCP on the write carries no address at all.
                for (const Setting setting : {Setting::IpAddress, Setting::SubnetMask, Setting::Gateway, Setting::Dns})
                    if (Changes(item, setting))
                        check.problems.push_back(AtCell(*row.cells[static_cast<std::size_t>(setting)],
                                                        SettingHeading(setting),
                                                        "DHCP is on, so the device takes no address from the plan"));
            }
        }
        check.items.push_back(item);
    }

    // What every device holds once the plan is done; the checks look only at what the plan changes.
    std::map<MacBytes, Ipv4Host> finalAddress;
    std::map<MacBytes, long> finalNumber;
    for (const auto& [mac, record] : records) {
        finalAddress[mac] = SettingsFromRecord(record).currentAddress;
        if (HasBacnet(record)) finalNumber[mac] = ShownDeviceNumber(record);
    }
    for (const PlanItem& item : check.items) {
        if (item.action != PlanAction::Change) continue;
        if (!item.planned.dhcp && item.planned.address) finalAddress[item.mac] = *item.planned.address;
        if (finalNumber.count(item.mac) != 0)
            finalNumber[item.mac] = FinalDeviceNumber(records[item.mac], item.planned.deviceId);
    }
    const auto holder = [&](const MacBytes& self, auto& finals, auto value) -> std::string {
        for (const auto& [mac, held] : finals) {
            if (mac == self || held != value) continue;
            const auto planned = rowOf.find(mac);
            if (planned != rowOf.end())
                return "line " + std::to_string(planned->second->line) + " (" + MacText(mac) + ")";
            return MacText(mac) + ", which the plan leaves as it is";
        }
        return {};
    };
    for (const PlanItem& item : check.items) {
        if (item.action != PlanAction::Change) continue;
        const PlanRow& row = *rowOf[item.mac];
        if (Changes(item, Setting::IpAddress) && !item.planned.dhcp && item.planned.address &&
            *item.planned.address != ANY_ADDRESS) {
            const std::string other = holder(item.mac, finalAddress, *item.planned.address);
            if (!other.empty())
                check.problems.push_back(
                    AtCell(*row.cells[static_cast<std::size_t>(Setting::IpAddress)], SettingHeading(Setting::IpAddress),
                           "IP address " + ToText(*item.planned.address) + " is also held by " + other));
        }
        if (Changes(item, Setting::DeviceId) && item.planned.deviceId != FACTORY_DEFAULT_DEVICE_ID) {
            const std::string other = holder(item.mac, finalNumber, long{item.planned.deviceId});
            if (!other.empty())
                check.problems.push_back(
                    AtCell(*row.cells[static_cast<std::size_t>(Setting::DeviceId)], SettingHeading(Setting::DeviceId),
                           "device ID " + std::to_string(item.planned.deviceId) + " is also held by " + other));
        }
    }
    std::stable_sort(check.problems.begin(), check.problems.end(), [](const PlanProblem& a, const PlanProblem& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return check;
}

int PlanWaitSeconds(const PlanCheck& check) {
    int seconds = 0;
    for (const PlanItem& item : check.items)
        if (item.action == PlanAction::Change)
            seconds = std::max(seconds, RestartWaitSeconds(item.current.dhcp, item.planned.dhcp));
    return seconds;
}

}  // namespace pelmora
