#include "ui/win32/WindowClass.h"

#include "platform/Win32Headers_win32.h"

namespace pelmora {

std::wstring WindowClassName(WindowHandle window) {
    if (window == nullptr) return {};
    // Class names are at most 256 characters.
    wchar_t name[257] = {};
    const int length = GetClassNameW(window, name, 257);
    return length > 0 ? std::wstring(name, static_cast<std::size_t>(length)) : std::wstring();
}

bool IsWindowOfClass(WindowHandle window, const wchar_t* className) {
    const std::wstring name = WindowClassName(window);
    return !name.empty() && CompareStringOrdinal(name.c_str(), -1, className, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace pelmora
