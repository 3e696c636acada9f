#include "platform/ListSeparator.h"

#include "platform/WideText_win32.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {

std::string UserListSeparator() {
    // LOCALE_SLIST holds at most three characters and the terminator.
    wchar_t separator[4] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SLIST, separator, 4);
    if (length <= 1) return ",";
    return Utf8FromWide(std::wstring_view(separator, static_cast<std::size_t>(length - 1)));
}

}  // namespace pelmora
