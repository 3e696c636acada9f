#include "ui/DataExchange.h"

#include "platform/WideText_win32.h"
#include "ui/Feedback.h"
#include "ui/TemplateDialog.h"
#include "ui/win32/Win32DialogWindow.h"
#include "ui/win32/Win32IpAddressCtrl.h"
#include "ui/win32/WindowClass.h"

#include "platform/Win32Headers_win32.h"

namespace pelmora {

namespace {

// Characters as the user sees them: code points, so a character outside the BMP counts once.
int CharacterCount(const std::wstring& text) {
    int count = 0;
    for (const wchar_t unit : text) {
        if (unit < 0xDC00 || unit > 0xDFFF) ++count;
    }
    return count;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace

void DataExchange::Fail(int id, const std::string& message) {
    m_failed = true;
    m_failedControl = id;
    if (message.empty()) return;
    ShowMessageBox(&m_dialog, message, {}, MessageKind::Warning);
    if (HWND control = m_dialog.Window().Control(id)) {
        SetFocus(control);
        if (IsWindowOfClass(control, WC_EDITW)) SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

void DataExchange::Text(int id, std::string& member, int limit) {
    if (m_failed) return;
    HWND edit = m_dialog.Window().Control(id);
    if (!IsWindowOfClass(edit, WC_EDITW)) {
        Fail(id, {});
        return;
    }
    if (!m_saving) {
        // The limit stops typing only: a longer text set here is shown whole, as it came from the device.
        if (limit > 0) SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
        SetWindowTextW(edit, WideFromUtf8(member).c_str());
        return;
    }
    const std::wstring text = WindowText(edit);
    if (limit > 0 && CharacterCount(text) > limit) {
        Fail(id, TooLongMessage(limit));
        return;
    }
    member = Utf8FromWide(text);
}

void DataExchange::Check(int id, int& member) {
    if (m_failed) return;
    HWND box = m_dialog.Window().Control(id);
    if (!IsWindowOfClass(box, WC_BUTTONW)) {
        Fail(id, {});
        return;
    }
    if (m_saving) {
        member = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    } else {
        SendMessageW(box, BM_SETCHECK, member != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void DataExchange::IpAddress(int id, std::uint32_t& member) {
    if (m_failed) return;
    HWND control = m_dialog.Window().Control(id);
    if (!IsWindowOfClass(control, WC_IPADDRESSW)) {
        Fail(id, {});
        return;
    }
    Win32IpAddressCtrl address(control);
    if (m_saving) {
        std::uint32_t value = 0;
        address.GetAddress(value);
        member = value;
    } else {
        address.SetAddress(member);
    }
}

}  // namespace pelmora
