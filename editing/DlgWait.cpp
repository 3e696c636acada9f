#include "editing/DlgWait.h"

#include <QtWidgets/QProgressBar>

#include <limits>

#include "resources/ResourceIds.h"
#include "ui/DataExchange.h"

namespace pelmora {

CDlgWait::CDlgWait(QWidget* parent) : TemplateDialog(IDD_WAIT_DIALOG, parent) {}

bool CDlgWait::RunWait(int seconds) {
    if (seconds <= 0) return true;
    m_limit = seconds > std::numeric_limits<int>::max() / TICKS_PER_SECOND ? std::numeric_limits<int>::max()
                                                                           : seconds * TICKS_PER_SECOND;
    m_count = 0;
    return DoModal() != IDCANCEL;
}

void CDlgWait::DoDataExchange(DataExchange& exchange) { exchange.Control(IDC_PROGRESS, m_progress); }

bool CDlgWait::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    SetTimer(TICK_TIMER, TICK_MILLISECONDS);
    if (m_progress != nullptr) m_progress->setRange(0, m_limit);
    return true;
}

void CDlgWait::OnTimer(int) {
    ++m_count;
    if (m_count >= m_limit) OnOK();
    if (m_progress != nullptr) m_progress->setValue(m_count);
}

}  // namespace pelmora
