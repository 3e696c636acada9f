#include "ui/win32/Win32AccessibleNames.h"

#include "platform/WideText_win32.h"

#include "platform/Win32Headers_win32.h"

#include <oleacc.h>

namespace pelmora {

Win32AccessibleNames::~Win32AccessibleNames() {
    if (m_service != nullptr) m_service->Release();
}

IAccPropServices* Win32AccessibleNames::Service() {
    if (m_service == nullptr && !m_unavailable) {
        void* service = nullptr;
        // Asked once: without the service (no COM on the thread, or a system that lacks it) every later
        // call would fail the same way.
        m_unavailable = FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IAccPropServices, &service)) ||
                        service == nullptr;
        if (!m_unavailable) m_service = static_cast<IAccPropServices*>(service);
    }
    return m_service;
}

bool Win32AccessibleNames::Set(WindowHandle window, int child, const std::string& text) {
    IAccPropServices* service = Service();
    if (service == nullptr) return false;
    const std::wstring wide = WideFromUtf8(text);
    return SUCCEEDED(service->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(child),
                                             PROPID_ACC_DESCRIPTION, wide.c_str()));
}

bool Win32AccessibleNames::Clear(WindowHandle window, int child) {
    IAccPropServices* service = Service();
    if (service == nullptr) return false;
    MSAAPROPID property = PROPID_ACC_DESCRIPTION;
    return SUCCEEDED(
        service->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(child), &property, 1));
}

}  // namespace pelmora
