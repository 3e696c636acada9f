#include "app/PlanDialogs.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "protocol/MacAddress.h"
#include "resources/ResourceIds.h"
#include "ui/DataExchange.h"
#include "ui/DialogIds.h"
#include "ui/ReportList.h"

namespace pelmora {

namespace {

// Layout pixels of the 400-unit-wide list: the MAC, the result, and the settings.
constexpr int UNIT_WIDTH = 110;
constexpr int RESULT_WIDTH = 70;
constexpr int SETTINGS_WIDTH = 410;

std::size_t CountOf(const std::vector<ReportEntry>& entries, PlanResult result) {
    return static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [result](const ReportEntry& e) { return e.result == result; }));
}

std::string Devices(std::size_t count) { return std::to_string(count) + (count == 1 ? " device" : " devices"); }

void AddCount(std::string& text, std::size_t count, PlanResult result) {
    if (count != 0) text += "; " + std::to_string(count) + " " + ResultText(result);
}

void FillList(ReportList* list, const std::vector<ReportEntry>& entries, const char* resultHeading) {
    if (list == nullptr) return;
    list->InsertColumn(0, "Unit", UNIT_WIDTH);
    list->InsertColumn(1, resultHeading, RESULT_WIDTH);
    list->InsertColumn(2, "Settings", SETTINGS_WIDTH);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int row = list->InsertItem(static_cast<int>(i), MacText(entries[i].mac));
        list->SetItemText(row, 1, ResultText(entries[i].result));
        list->SetItemText(row, 2, SettingsText(entries[i]));
    }
}

void ShowSummary(TemplateDialog& dialog, std::string text) {
    DataExchange exchange(dialog, false);
    exchange.Text(IDC_PLAN_SUMMARY, text);
}

}  // namespace

std::string PreviewSummary(const std::vector<ReportEntry>& entries) {
    std::string text = "Apply writes " + Devices(CountOf(entries, PlanResult::Changes));
    AddCount(text, CountOf(entries, PlanResult::Unchanged), PlanResult::Unchanged);
    AddCount(text, CountOf(entries, PlanResult::NotFound), PlanResult::NotFound);
    return text;
}

std::string ResultsSummary(const std::vector<ReportEntry>& entries) {
    const std::size_t confirmed = CountOf(entries, PlanResult::Confirmed);
    const std::size_t written =
        confirmed + CountOf(entries, PlanResult::Differs) + CountOf(entries, PlanResult::NotSeen);
    std::string text = std::to_string(confirmed) + " of " + Devices(written) + " confirmed";
    for (const PlanResult result :
         {PlanResult::Differs, PlanResult::NotSeen, PlanResult::Unchanged, PlanResult::NotFound})
        AddCount(text, CountOf(entries, result), result);
    return text;
}

CPlanPreviewDlg::CPlanPreviewDlg(std::vector<ReportEntry> preview, WriteSchedule& schedule, Clock& clock)
    : TemplateDialog(IDD_PLAN_PREVIEW), m_preview(std::move(preview)), m_schedule(schedule), m_clock(clock) {}

bool CPlanPreviewDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    FillList(List(IDC_PLAN_LIST), m_preview, "Action");
    ShowSummary(*this, PreviewSummary(m_preview));
    SetProgressRange(IDC_PROGRESS, 0, static_cast<int>(std::max<std::size_t>(m_schedule.Total(), 1)));
    SetProgressPos(IDC_PROGRESS, 0);
    EnableControl(IDOK, m_schedule.Total() != 0);
    return true;
}

void CPlanPreviewDlg::OnOK() {
    if (m_writing || m_schedule.Total() == 0) return;
    m_writing = true;
    EnableControl(IDOK, false);
    EnableControl(IDCANCEL, false);
    m_due = m_schedule.Step();
    SetTimer(WRITE_TIMER, WRITE_TICK_MS);
}

void CPlanPreviewDlg::OnCancel() {
    // A device's write is not broken off halfway: once Apply began, every write runs to its end.
    if (!m_writing) TemplateDialog::OnCancel();
}

void CPlanPreviewDlg::OnTimer(int id) {
    if (id != WRITE_TIMER || !m_writing) return;
    // At most a tick's sleep, so the window repaints between the writes' pauses.
    if (m_due) {
        m_clock.SleepUntil(std::min(*m_due, m_clock.Now() + std::chrono::milliseconds(WRITE_TICK_MS)));
        if (m_clock.Now() < *m_due) return;
        m_due = m_schedule.Step();
    }
    SetProgressPos(IDC_PROGRESS, static_cast<int>(m_schedule.Finished()));
    if (m_due) return;
    KillTimer(WRITE_TIMER);
    m_writing = false;
    EndDialog(IDOK);
}

CPlanResultsDlg::CPlanResultsDlg(std::vector<ReportEntry> results, std::function<void(CPlanResultsDlg&)> saveReport)
    : TemplateDialog(IDD_PLAN_RESULTS), m_results(std::move(results)), m_saveReport(std::move(saveReport)) {
    MapCommand(IDC_SAVE_REPORT, [this] {
        if (m_saveReport) m_saveReport(*this);
    });
}

bool CPlanResultsDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    FillList(List(IDC_PLAN_LIST), m_results, "Result");
    ShowSummary(*this, ResultsSummary(m_results));
    return true;
}

}  // namespace pelmora
