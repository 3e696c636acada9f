#include "ui/win32/Win32IpAddressCtrl.h"

#include "platform/Win32Headers_win32.h"

namespace pelmora {

bool Win32IpAddressCtrl::IsBlank() const { return SendMessageW(m_control, IPM_ISBLANK, 0, 0) != 0; }

int Win32IpAddressCtrl::GetAddress(std::uint32_t& address) const {
    DWORD value = 0;
    const LRESULT filled = SendMessageW(m_control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
    address = value;
    return static_cast<int>(filled);
}

void Win32IpAddressCtrl::SetAddress(std::uint32_t address) {
    SendMessageW(m_control, IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

void Win32IpAddressCtrl::ClearAddress() { SendMessageW(m_control, IPM_CLEARADDRESS, 0, 0); }

}  // namespace pelmora
