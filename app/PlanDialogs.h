#pragma once
// The window's plan dialogs: the preview, whose Apply sends the writes with their progress shown, and
// the results, with "Save report...".
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devices/PlanReport.h"
#include "devices/WriteSchedule.h"
#include "platform/Clock.h"
#include "ui/TemplateDialog.h"

namespace pelmora {

// "Apply writes 2 devices; 1 unchanged; 1 not found" for a preview.
std::string PreviewSummary(const std::vector<ReportEntry>& entries);
// "2 of 3 devices confirmed; 1 differs; 1 unchanged" for the results.
std::string ResultsSummary(const std::vector<ReportEntry>& entries);

// Template 136. Ends with IDOK once Apply has sent every write, IDCANCEL when cancelled before it.
class CPlanPreviewDlg : public TemplateDialog {
public:
    static constexpr int WRITE_TIMER = 0;
    static constexpr int WRITE_TICK_MS = 20;

    // Both are borrowed for the dialog's life.
    CPlanPreviewDlg(std::vector<ReportEntry> preview, WriteSchedule& schedule, Clock& clock);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(int id) override;

private:
    std::vector<ReportEntry> m_preview;
    WriteSchedule& m_schedule;
    Clock& m_clock;
    bool m_writing = false;
    std::optional<Clock::TimePoint> m_due;
};

// Template 137: one row per plan row, the summary, and the report saved through saveReport.
class CPlanResultsDlg : public TemplateDialog {
public:
    CPlanResultsDlg(std::vector<ReportEntry> results, std::function<void(CPlanResultsDlg&)> saveReport);
    const std::vector<ReportEntry>& Results() const { return m_results; }

protected:
    bool OnInitDialog() override;

private:
    std::vector<ReportEntry> m_results;
    std::function<void(CPlanResultsDlg&)> m_saveReport;
};

}  // namespace pelmora
