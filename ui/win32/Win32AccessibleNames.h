#pragma once
// The text a screen reader reads for one child of a window's client object, beside what the control
// itself reports, through the system's annotation service (Dynamic Annotation). Needs COM on the thread.
#include "ui/win32/WindowHandle.h"

#include <string>

struct IAccPropServices;

namespace pelmora {

class AccessibleDescription {
public:
    AccessibleDescription() = default;
    AccessibleDescription(const AccessibleDescription&) = delete;
    AccessibleDescription& operator=(const AccessibleDescription&) = delete;
    AccessibleDescription(AccessibleDescription&&) = delete;
    AccessibleDescription& operator=(AccessibleDescription&&) = delete;
    ~AccessibleDescription();

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
