#include "ui/win32/ProgressCtrl.h"

#include "platform/Win32Headers_win32.h"

namespace pelmora {

void ProgressCtrl::SetRange(int low, int high) {
    SendMessageW(m_control, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

void ProgressCtrl::GetRange(int& low, int& high) const {
    PBRANGE range{};
    SendMessageW(m_control, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    low = range.iLow;
    high = range.iHigh;
}

void ProgressCtrl::SetPos(int position) { SendMessageW(m_control, PBM_SETPOS, static_cast<WPARAM>(position), 0); }

int ProgressCtrl::GetPos() const { return static_cast<int>(SendMessageW(m_control, PBM_GETPOS, 0, 0)); }

}  // namespace pelmora
