#pragma once
// The wait after a configuration write: a progress bar that fills in 100 ms ticks while the device
// restarts, and Cancel to end it early.
#include "ui/TemplateDialog.h"

class QProgressBar;

namespace pelmora {

class CDlgWait : public TemplateDialog {
    Q_OBJECT

public:
    static constexpr int TICK_TIMER = 0;
    static constexpr int TICK_MILLISECONDS = 100;
    static constexpr int TICKS_PER_SECOND = 1000 / TICK_MILLISECONDS;

    explicit CDlgWait(QWidget* parent = nullptr);

    // False when the wait was cancelled; true when it ran out, or at once, showing nothing, for
    // seconds <= 0.
    bool RunWait(int seconds);

protected:
    void DoDataExchange(DataExchange& exchange) override;
    bool OnInitDialog() override;
    void OnTimer(int id) override;

private:
    QProgressBar* m_progress = nullptr;
    int m_count = 0;
    int m_limit = 0;
};

}  // namespace pelmora
