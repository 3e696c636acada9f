#include "ui/Feedback.h"

#include "platform/WideText_win32.h"
#include "ui/DialogIds.h"
#include "ui/TemplateDialog.h"
#include "ui/win32/Win32DialogWindow.h"

#include "platform/Win32Headers_win32.h"

namespace pelmora {

namespace {

// The program's file name without its folder and extension, as the title of its message boxes when the
// string table has none.
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
        case MessageKind::Plain: return 0;
        case MessageKind::Information: return MB_ICONINFORMATION;
        case MessageKind::Warning: return MB_ICONWARNING;
        case MessageKind::Error: return MB_ICONERROR;
    }
    return 0;
}

// IDC_WAIT and IDC_ARROW, whose macros cast in C style.
constexpr ULONG_PTR WAIT_CURSOR = 32514;
constexpr ULONG_PTR ARROW_CURSOR = 32512;

HCURSOR SystemCursor(ULONG_PTR id) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): a system cursor named by number is passed as such a pointer.
    return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(id));
}

}  // namespace

void ShowMessageBox(const TemplateDialog* owner, const std::string& text, const std::string& caption,
                    MessageKind kind) {
    HWND window = owner != nullptr ? owner->Window().Handle() : nullptr;
    if (window == nullptr) window = OwnerForNewWindow();
    const std::string named = caption.empty() ? ResourceString(AFX_IDS_APP_TITLE) : caption;
    const std::wstring title = named.empty() ? ProgramName() : WideFromUtf8(named);
    MessageBoxW(window, WideFromUtf8(text).c_str(), title.c_str(), MB_OK | IconFor(kind));
}

std::string ResourceString(int id) {
    const wchar_t* text = nullptr;
    // With a length of 0 LoadStringW hands out a pointer into the resource itself: no length limit.
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return Utf8FromWide(std::wstring_view(text, static_cast<std::size_t>(length)));
}

WaitCursor::WaitCursor() : m_previous(SetCursor(SystemCursor(WAIT_CURSOR))) {}

WaitCursor::~WaitCursor() { SetCursor(static_cast<HCURSOR>(m_previous)); }

NormalCursor::NormalCursor() {
    if (GetCursor() != SystemCursor(WAIT_CURSOR)) return;
    m_previous = SetCursor(SystemCursor(ARROW_CURSOR));
    m_pushed = true;
}

NormalCursor::~NormalCursor() {
    if (m_pushed) SetCursor(static_cast<HCURSOR>(m_previous));
}

}  // namespace pelmora
