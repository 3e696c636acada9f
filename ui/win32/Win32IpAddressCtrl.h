#pragma once
// The IP address control (SysIPAddress32) of a dialog: four fields 0..255, each of which may be blank.
#include "ui/win32/WindowHandle.h"

#include <cstdint>

namespace pelmora {

class Win32IpAddressCtrl {
public:
    static constexpr int FIELD_COUNT = 4;

    explicit Win32IpAddressCtrl(WindowHandle control = nullptr) : m_control(control) {}
    void Attach(WindowHandle control) { m_control = control; }
    WindowHandle Handle() const { return m_control; }

    // True when no field holds a digit.
    bool IsBlank() const;
    // The address, first octet most significant, blank fields as 0; returns how many fields are filled.
    int GetAddress(std::uint32_t& address) const;
    // Fills all four fields.
    void SetAddress(std::uint32_t address);
    void ClearAddress();

private:
    WindowHandle m_control;
};

}  // namespace pelmora
