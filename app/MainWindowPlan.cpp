// The main window's "Apply plan...": the plan read and checked, the preview with its writes, the wait,
// the verifying scans, the rows' marks and the results.
#include <string>
#include <vector>

#include "app/CNimbetRawConfigDlg.h"
#include "app/PlanDialogs.h"
#include "app/PlanWindowHooks.h"
#include "devices/Plan.h"
#include "devices/PlanReport.h"
#include "devices/WriteSchedule.h"
#include "editing/DlgWait.h"
#include "platform/FileRead.h"
#include "platform/FileSave.h"
#include "protocol/MacAddress.h"
#include "ui/Feedback.h"

namespace pelmora {

namespace {

// Far more than any site's plan; a larger file is most likely not a plan at all.
constexpr std::size_t MAX_PLAN_BYTES = std::size_t{4} << 20;
// A message box shows this many problems, then how many more there are.
constexpr std::size_t SHOWN_PROBLEMS = 20;
constexpr const char* PLAN_CAPTION = "Apply plan";

std::string ProblemsText(const std::string& path, const std::vector<PlanProblem>& problems) {
    std::string text = "The plan \"" + path + "\" cannot be applied; nothing was sent.\n";
    for (std::size_t i = 0; i < problems.size() && i < SHOWN_PROBLEMS; ++i) text += "\n" + ProblemText(problems[i]);
    if (problems.size() > SHOWN_PROBLEMS)
        text += "\n... and " + std::to_string(problems.size() - SHOWN_PROBLEMS) + " more";
    return text;
}

}  // namespace

PlanWindowHooks PlanWindowHooksWithDialogs() {
    PlanWindowHooks hooks;
    hooks.choosePlanFile = [](TemplateDialog& owner) {
        return owner.ChooseOpenFile("Open plan", "CSV files", "*.csv");
    };
    hooks.waitForRestart = [](int seconds) {
        CDlgWait wait;
        return wait.RunWait(seconds);
    };
    return hooks;
}

void CNimbetRawConfigDlg::OnApplyPlan() {
    if (!m_planHooks.choosePlanFile) return;
    const std::string path = m_planHooks.choosePlanFile(*this);
    if (path.empty()) return;
    std::string error;
    const auto text = ReadFileWhole(path, MAX_PLAN_BYTES, error);
    if (!text) {
        ShowMessageBox(this, "The plan \"" + path + "\" could not be read: " + error, PLAN_CAPTION,
                       MessageKind::Warning);
        return;
    }
    Plan plan;
    if (const auto problems = ParsePlan(*text, plan); !problems.empty()) {
        ShowMessageBox(this, ProblemsText(path, problems), PLAN_CAPTION, MessageKind::Warning);
        return;
    }
    // Checked against the devices as they answer now, not as the list was last filled.
    ClearAndRescan();
    const PlanCheck check = CheckPlan(plan, m_deviceSet.Replies());
    if (!check.problems.empty()) {
        ShowMessageBox(this, ProblemsText(path, check.problems), PLAN_CAPTION, MessageKind::Warning);
        return;
    }

    std::vector<DeviceSettings> writes;
    for (const PlanItem& item : check.items)
        if (item.action == PlanAction::Change) writes.push_back(item.planned);
    WriteSchedule schedule(m_network, m_deviceSet.Replies(), writes);
    CPlanPreviewDlg preview(PreviewEntries(check), schedule, m_network.Time());
    if (preview.DoModal() != IDOK || RunEnded()) return;

    if (m_planHooks.waitForRestart) m_planHooks.waitForRestart(PlanWaitSeconds(check));
    if (RunEnded()) return;
    PlanVerification verification(check, schedule.Written());
    VerifyPlan(verification);

    m_writeMarks.clear();
    for (const ReportEntry& entry : verification.Entries()) {
        if (entry.result == PlanResult::Confirmed) m_writeMarks[MacKey(entry.mac)] = ResultText(entry.result);
        if (entry.result == PlanResult::Differs)
            m_writeMarks[MacKey(entry.mac)] = std::string(ResultText(entry.result)) + ": " + SettingsText(entry);
    }
    FillDeviceList();

    CPlanResultsDlg results(verification.Entries(), [this](CPlanResultsDlg& dialog) { SavePlanReport(dialog); });
    results.DoModal();
}

void CNimbetRawConfigDlg::VerifyPlan(PlanVerification& verification) {
    const WaitCursor wait;
    Clock& clock = m_network.Time();
    Clock::TimePoint last{};
    for (int scan = 0; scan < VERIFYING_SCANS && !verification.AllSeen(); ++scan) {
        if (scan > 0) clock.SleepUntil(last + VERIFYING_SCAN_INTERVAL);
        last = clock.Now();
        m_deviceSet.ClearReplies();
        ReadInterfaceTable();
        m_deviceSet.Scan(BROADCAST_ADDRESS);
        verification.Update(m_deviceSet.Replies());
    }
}

void CNimbetRawConfigDlg::SavePlanReport(CPlanResultsDlg& dialog) {
    if (!m_chooseExportFile) return;
    const std::string path = m_chooseExportFile(dialog, "pelmora-plan-report.csv");
    if (path.empty()) return;
    std::string reason;
    if (SaveFileWhole(path, FormatReportCsv(dialog.Results()), reason)) return;
    ShowMessageBox(&dialog, "The report could not be saved to \"" + path + "\": " + reason, "Save report",
                   MessageKind::Warning);
}

}  // namespace pelmora
