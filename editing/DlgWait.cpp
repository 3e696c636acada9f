#include "editing/DlgWait.h"

#include <limits>

#include "resources/ResourceIds.h"

namespace pelmora {

CDlgWait::CDlgWait() : TemplateDialog(IDD_WAIT_DIALOG) {}

bool CDlgWait::RunWait(int seconds) {
    if (seconds <= 0) return true;
    m_limit = seconds > std::numeric_limits<int>::max() / TICKS_PER_SECOND ? std::numeric_limits<int>::max()
                                                                           : seconds * TICKS_PER_SECOND;
    m_count = 0;
    return DoModal() != IDCANCEL;
}

bool CDlgWait::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    SetTimer(TICK_TIMER, TICK_MILLISECONDS);
    SetProgressRange(IDC_PROGRESS, 0, m_limit);
    return true;
}

void CDlgWait::OnTimer(int) {
    ++m_count;
    if (m_count >= m_limit) OnOK();
    SetProgressPos(IDC_PROGRESS, m_count);
}

}  // namespace pelmora
