#pragma once
// Which window class a window belongs to, for the back end's checks of a control before it sends
// class-specific messages.
#include "ui/win32/WindowHandle.h"

#include <string>

namespace pelmora {

// The window's class name ("Edit", "SysListView32", ...); empty for a null or dead window.
std::wstring WindowClassName(WindowHandle window);
// Compared without regard to case, as Windows compares class names.
bool IsWindowOfClass(WindowHandle window, const wchar_t* className);

}  // namespace pelmora
