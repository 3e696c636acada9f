#pragma once
// What a plan did, one entry per plan row, and its printed forms; the preview before it and the
// template a plan starts from.
#include <chrono>
#include <string>
#include <vector>

#include "devices/Plan.h"
#include "protocol/DeviceStore.h"

namespace pelmora {

// After the wait: one scan, then again every VERIFYING_SCAN_INTERVAL (start to start) for the devices
// not yet seen, VERIFYING_SCANS in all.
constexpr int VERIFYING_SCANS = 3;
constexpr std::chrono::seconds VERIFYING_SCAN_INTERVAL{5};

enum class PlanResult { Changes, Confirmed, Differs, NotSeen, Unchanged, NotFound };
// "changes" (the preview's), "confirmed", "differs", "not seen", "unchanged", "not found".
const char* ResultText(PlanResult result);

struct ReportSetting {
    Setting setting;
    std::string before;
    std::string planned;
    std::string seen;  // empty unless seen and differing
};

struct ReportEntry {
    int line = 0;
    MacBytes mac{};
    PlanResult result = PlanResult::NotFound;
    std::vector<ReportSetting> settings;  // what changes, or what differs
};

// The preview: each row as "changes" with its changes, "unchanged" or "not found".
std::vector<ReportEntry> PreviewEntries(const PlanCheck& check);

// The results of the verifying scans: a changing device is "not seen" until a scan hears it, and then
// "confirmed" or "differs" by the verification rule, as that scan found it.
class PlanVerification {
public:
    // written: the settings the writes sent, one per changing item, in any order.
    PlanVerification(const PlanCheck& check, const std::vector<DeviceSettings>& written);
    // Takes in the replies of one verifying scan.
    void Update(const ReplyStore& replies);
    bool AllSeen() const;
    const std::vector<ReportEntry>& Entries() const { return m_entries; }

private:
    std::vector<ReportEntry> m_entries;
    std::vector<DeviceSettings> m_written;  // per entry; only those of changing items count
};

// True when every entry is confirmed or unchanged.
bool AllConfirmed(const std::vector<ReportEntry>& entries);

// "Device ID: (4001) → 4101; IP address: ..." or, for what differs, "IP address: planned ..., seen ...".
std::string SettingsText(const ReportEntry& entry);

// A table of "Line", "Unit", "Result", "Settings"; JSON [{"Unit", "result", then per setting
// {"before", "planned", "seen"}}]; the table's columns as CSV.
std::string FormatReportTable(const std::vector<ReportEntry>& entries);
std::string FormatReportJson(const std::vector<ReportEntry>& entries);
std::string FormatReportCsv(const std::vector<ReportEntry>& entries);

// A plan to start from: "Unit" and every setting of every device with BACnet in the store, as the edit
// dialog shows them; UTF-8 with a byte-order mark, so that a spreadsheet reads it as such.
std::string FormatPlanTemplate(const DeviceStore& store);

}  // namespace pelmora
