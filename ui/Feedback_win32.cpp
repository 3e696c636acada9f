#include "ui/Messages_win32.h"

#include "platform/WideText_win32.h"

#include "ui/Win32Headers_win32.h"

namespace pelmora {

namespace {

// The program's file name without its folder and extension, as the title of its message boxes.
std::wstring ProgramName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

UINT IconFor(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information: return MB_ICONINFORMATION;
        case MessageKind::Warning: return MB_ICONWARNING;
        case MessageKind::Error: return MB_ICONERROR;
    }
    return MB_ICONINFORMATION;
}

// IDC_WAIT, whose macro casts in C style.
constexpr ULONG_PTR WAIT_CURSOR = 32514;

}  // namespace

void ShowMessage(WindowHandle owner, const std::string& text, MessageKind kind) {
    if (owner == nullptr) owner = GetActiveWindow();
    MessageBoxW(owner, WideFromUtf8(text).c_str(), ProgramName().c_str(), MB_OK | IconFor(kind));
}

std::string ResourceString(int id) {
    const wchar_t* text = nullptr;
    // With a length of 0 LoadStringW hands out a pointer into the resource itself: no length limit.
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return Utf8FromWide(std::wstring_view(text, static_cast<std::size_t>(length)));
}

// NOLINTNEXTLINE(performance-no-int-to-ptr): a system cursor named by number is passed as such a pointer.
WaitCursor::WaitCursor() : m_previous(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(WAIT_CURSOR)))) {}

WaitCursor::~WaitCursor() { SetCursor(static_cast<HCURSOR>(m_previous)); }

}  // namespace pelmora
