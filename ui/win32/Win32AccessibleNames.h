#pragma once
// The text a screen reader reads for one child of a window's client object, beside what the control
// itself reports, through the system's annotation service (Dynamic Annotation). Needs COM on the thread.
#include "ui/win32/WindowHandle.h"

#include <string>

struct IAccPropServices;

namespace pelmora {

class Win32AccessibleNames {
public:
    Win32AccessibleNames() = default;
    Win32AccessibleNames(const Win32AccessibleNames&) = delete;
    Win32AccessibleNames& operator=(const Win32AccessibleNames&) = delete;
    Win32AccessibleNames(Win32AccessibleNames&&) = delete;
    Win32AccessibleNames& operator=(Win32AccessibleNames&&) = delete;
    ~Win32AccessibleNames();

    // Child `child` (1 for the first) of `window`'s client object; false when the service is missing or
    // refused, in which case the control's own description stands.
    bool Set(WindowHandle window, int child, const std::string& text);
    bool Clear(WindowHandle window, int child);

private:
    IAccPropServices* Service();

    IAccPropServices* m_service = nullptr;
    bool m_unavailable = false;
};

}  // namespace pelmora
