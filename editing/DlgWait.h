#pragma once
// The wait after a configuration write: a progress bar that fills in 100 ms ticks while the device
// restarts, and Cancel to end it early.
#include "ui/TemplateDialog.h"

namespace pelmora {

class CDlgWait : public TemplateDialog {
public:
    static constexpr int TICK_TIMER = 0;
    static constexpr int TICK_MILLISECONDS = 100;
    static constexpr int TICKS_PER_SECOND = 1000 / TICK_MILLISECONDS;

    CDlgWait();

    // False when the wait was cancelled; true when it ran out, or at once, showing nothing, for
    // seconds <= 0.
    bool RunWait(int seconds);

protected:
    bool OnInitDialog() override;
    void OnTimer(int id) override;

private:
    int m_count = 0;
    int m_limit = 0;
};

}  // namespace pelmora
