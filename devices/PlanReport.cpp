#include "devices/PlanReport.h"

#include <algorithm>

#include "devices/Verification.h"
#include "listing/RowOutput.h"
#include "listing/RowTexts.h"
#include "listing/ShownText.h"
#include "protocol/Utf8Text.h"

namespace pelmora {

namespace {

constexpr const char* ARROW = " \xE2\x86\x92 ";  // →

void AppendPadded(std::string& line, const std::string& text, std::size_t width) {
    line += text;
    const std::size_t characters = CountCharacters(text);
    if (characters < width) line.append(width - characters, ' ');
}

std::vector<std::string> Cells(const ReportEntry& entry) {
    return {std::to_string(entry.line), MacText(entry.mac), ResultText(entry.result), ShownText(SettingsText(entry))};
}

}  // namespace

const char* ResultText(PlanResult result) {
    switch (result) {
        case PlanResult::Changes: return "changes";
        case PlanResult::Confirmed: return "confirmed";
        case PlanResult::Differs: return "differs";
        case PlanResult::NotSeen: return "not seen";
        case PlanResult::Unchanged: return "unchanged";
        case PlanResult::NotFound: return "not found";
    }
    return "";
}

std::vector<ReportEntry> PreviewEntries(const PlanCheck& check) {
    std::vector<ReportEntry> entries;
    for (const PlanItem& item : check.items) {
        ReportEntry entry{item.line, item.mac, PlanResult::NotFound, {}};
        if (item.action == PlanAction::Unchanged) entry.result = PlanResult::Unchanged;
        if (item.action == PlanAction::Change) entry.result = PlanResult::Changes;
        for (const SettingChange& change : item.changes)
            entry.settings.push_back({change.setting, change.now, change.planned, {}});
        entries.push_back(entry);
    }
    return entries;
}

PlanVerification::PlanVerification(const PlanCheck& check, const std::vector<DeviceSettings>& written)
    : m_entries(PreviewEntries(check)) {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        ReportEntry& entry = m_entries[i];
        m_written.push_back(check.items[i].planned);
        if (entry.result != PlanResult::Changes) continue;
        entry.result = PlanResult::NotSeen;
        for (const DeviceSettings& sent : written)
            if (sent.mac == entry.mac) m_written.back() = sent;
    }
}

void PlanVerification::Update(const ReplyStore& replies) {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        ReportEntry& entry = m_entries[i];
        if (entry.result != PlanResult::NotSeen) continue;
        const auto reply = replies.find(MacKey(entry.mac));
        if (reply == replies.end()) continue;
        DeviceRecord seen;
        ParseDeviceRecord(seen, reply->second);
        const std::vector<Setting> differing = DifferingSettings(m_written[i], seen);
        entry.result = differing.empty() ? PlanResult::Confirmed : PlanResult::Differs;
        if (differing.empty()) continue;
        const DeviceSettings reported = SettingsFromRecord(seen);
        std::vector<ReportSetting> settings;
        for (const Setting setting : differing) {
            ReportSetting shown{setting, {}, SettingText(m_written[i], setting), SettingText(reported, setting)};
            for (const ReportSetting& change : entry.settings)
                if (change.setting == setting) shown.before = change.before;
            settings.push_back(shown);
        }
        entry.settings = settings;
    }
}

bool PlanVerification::AllSeen() const {
    return std::none_of(m_entries.begin(), m_entries.end(),
                        [](const ReportEntry& e) { return e.result == PlanResult::NotSeen; });
}

bool AllConfirmed(const std::vector<ReportEntry>& entries) {
    return std::all_of(entries.begin(), entries.end(), [](const ReportEntry& e) {
        return e.result == PlanResult::Confirmed || e.result == PlanResult::Unchanged;
    });
}

std::string SettingsText(const ReportEntry& entry) {
    std::string text;
    for (const ReportSetting& s : entry.settings) {
        if (!text.empty()) text += "; ";
        text += SettingHeading(s.setting);
        text += entry.result == PlanResult::Differs ? ": planned " + s.planned + ", seen " + s.seen
                                                    : ": " + s.before + ARROW + s.planned;
    }
    return text;
}

std::string FormatReportTable(const std::vector<ReportEntry>& entries) {
    std::vector<std::vector<std::string>> lines = {{"Line", "Unit", "Result", "Settings"}};
    for (const ReportEntry& entry : entries) lines.push_back(Cells(entry));
    std::vector<std::size_t> widths(4, 0);
    for (const auto& cells : lines)
        for (std::size_t c = 0; c < cells.size(); ++c) widths[c] = std::max(widths[c], CountCharacters(cells[c]));
    std::string out;
    for (const auto& cells : lines) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c > 0) line += "  ";
            // Texts from a device or a plan could hold a line break; the table keeps one line per row.
            std::string cell = cells[c];
            std::replace_if(
                cell.begin(), cell.end(), [](char ch) { return ch == '\n' || ch == '\r' || ch == '\t'; }, ' ');
            AppendPadded(line, cell, c + 1 < cells.size() ? widths[c] : 0);
        }
        out += line + "\n";
    }
    return out;
}

std::string FormatReportJson(const std::vector<ReportEntry>& entries) {
    if (entries.empty()) return "[]\n";
    std::string out = "[\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ReportEntry& entry = entries[i];
        out += "  {\"Unit\": " + JsonQuote(MacText(entry.mac)) + ", \"line\": " + std::to_string(entry.line) +
               ", \"result\": " + JsonQuote(ResultText(entry.result));
        for (const ReportSetting& s : entry.settings) {
            out += ", " + JsonQuote(SettingHeading(s.setting)) + ": {";
            if (!s.before.empty() || entry.result != PlanResult::Differs)
                out += "\"before\": " + JsonQuote(s.before) + ", ";
            out += "\"planned\": " + JsonQuote(s.planned);
            if (entry.result == PlanResult::Differs) out += ", \"seen\": " + JsonQuote(s.seen);
            out += "}";
        }
        out += i + 1 < entries.size() ? "},\n" : "}\n";
    }
    return out + "]\n";
}

std::string FormatReportCsv(const std::vector<ReportEntry>& entries) {
    std::string out = CsvRecord({"Line", "Unit", "Result", "Settings"});
    for (const ReportEntry& entry : entries) {
        out += CsvRecord(Cells(entry));
    }
    return out;
}

std::string FormatPlanTemplate(const DeviceStore& store) {
    std::vector<std::string> headings = {"Unit"};
    for (const Setting setting : ALL_SETTINGS) headings.emplace_back(SettingHeading(setting));
    std::string out = "\xEF\xBB\xBF" + CsvRecord(headings);
    for (std::size_t i = 0; i < store.Count(); ++i) {
        const DeviceRecord& record = *store.RecordAt(static_cast<long>(i));
        if (!HasBacnet(record)) continue;
        const DeviceSettings settings = SettingsFromRecord(record);
        std::vector<std::string> cells = {MacText(record.mac)};
        for (const Setting setting : ALL_SETTINGS) cells.push_back(ShownText(SettingText(settings, setting)));
        out += CsvRecord(cells);
    }
    return out;
}

}  // namespace pelmora
