#include "ui/TemplateDialog_win32.h"

#include "platform/WideText_win32.h"
#include "resources/ResourceIds.h"
#include "ui/DataExchange_win32.h"

#include "ui/Win32Headers_win32.h"

namespace pelmora {

namespace {

// NOLINTNEXTLINE(performance-no-int-to-ptr): a resource named by number is passed as such a pointer.
LPCWSTR ResourceName(int id) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id))); }

int LowWord(WPARAM value) { return static_cast<int>(value & 0xFFFFU); }
int HighWord(WPARAM value) { return static_cast<int>((value >> 16U) & 0xFFFFU); }

// The classes of every control the templates use, once per process, before the first dialog.
void StartCommonControls() {
    static const bool started = [] {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS;
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    static_cast<void>(started);
}

void SetWindowIcons(HWND window) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto load = [instance](int metricX, int metricY) {
        return reinterpret_cast<LPARAM>(LoadImageW(instance, ResourceName(IDR_MAINFRAME), IMAGE_ICON,
                                                   GetSystemMetrics(metricX), GetSystemMetrics(metricY), LR_SHARED));
    };
    SendMessageW(window, WM_SETICON, ICON_BIG, load(SM_CXICON, SM_CYICON));
    SendMessageW(window, WM_SETICON, ICON_SMALL, load(SM_CXSMICON, SM_CYSMICON));
}

}  // namespace

// The dialog procedure's side of TemplateDialog: the message map.
struct DialogMessages {
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        TemplateDialog* dialog = nullptr;
        if (message == WM_INITDIALOG) {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): DialogBoxParamW hands the dialog's address over in lParam.
            dialog = reinterpret_cast<TemplateDialog*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            dialog->m_window = window;
        } else {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the dialog's address, kept in the window at WM_INITDIALOG.
            dialog = reinterpret_cast<TemplateDialog*>(GetWindowLongPtrW(window, DWLP_USER));
        }
        if (dialog == nullptr) return FALSE;
        return Handle(*dialog, message, wParam, lParam);
    }

    static INT_PTR Handle(TemplateDialog& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_INITDIALOG: SetWindowIcons(dialog.m_window); return dialog.OnInitDialog() ? TRUE : FALSE;
            case WM_COMMAND:
                // Clicks, menu items and posted commands; a control's other notifications (EN_CHANGE of an
                // edit or of an IP address field, say) are no commands.
                if (lParam != 0 && HighWord(wParam) != BN_CLICKED) return FALSE;
                return dialog.OnCommand(LowWord(wParam)) ? TRUE : FALSE;
            case WM_NOTIFY: {
                // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_NOTIFY carries its header's address in lParam.
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                const auto found = dialog.m_notifyMap.find({static_cast<int>(header->idFrom), header->code});
                if (found == dialog.m_notifyMap.end()) return FALSE;
                // A copy: the handler may remap or end the dialog while it runs.
                const TemplateDialog::NotifyHandler handler = found->second;
                SetWindowLongPtrW(dialog.m_window, DWLP_MSGRESULT, handler(header));
                return TRUE;
            }
            case WM_TIMER: {
                const int id = static_cast<int>(wParam);
                if (dialog.m_timers.count(id) == 0) return FALSE;
                dialog.OnTimer(id);
                return TRUE;
            }
            case WM_SYSCOMMAND: return dialog.OnSysCommand(static_cast<int>(wParam & 0xFFF0U)) ? TRUE : FALSE;
            case WM_SHOWWINDOW: dialog.OnShowWindow(wParam != FALSE); return FALSE;
            default: return FALSE;
        }
    }
};

TemplateDialog::TemplateDialog(int templateId) : m_templateId(templateId) {}

TemplateDialog::~TemplateDialog() = default;

int TemplateDialog::DoModal() {
    StartCommonControls();
    m_runEnded = false;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), ResourceName(m_templateId), GetActiveWindow(),
                                           DialogMessages::Procedure, reinterpret_cast<LPARAM>(this));
    // Timers end with the window.
    m_window = nullptr;
    m_timers.clear();
    return static_cast<int>(result);
}

void TemplateDialog::EndDialog(int result) {
    m_runEnded = true;
    if (m_window != nullptr) ::EndDialog(m_window, result);
}

WindowHandle TemplateDialog::Control(int id) const { return m_window != nullptr ? GetDlgItem(m_window, id) : nullptr; }

void TemplateDialog::EnableControl(int id, bool enable) {
    if (HWND control = Control(id)) EnableWindow(control, enable ? TRUE : FALSE);
}

bool TemplateDialog::UpdateData(bool saveAndValidate) {
    DataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    return exchange.Ok();
}

void TemplateDialog::SendCommand(int id) { OnCommand(id); }

void TemplateDialog::PostCommand(int id) {
    if (m_window != nullptr) PostMessageW(m_window, WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(id)), 0);
}

bool TemplateDialog::SetTimer(int id, int milliseconds) {
    if (m_window == nullptr || id < 0 || milliseconds < 0) return false;
    if (::SetTimer(m_window, static_cast<UINT_PTR>(id), static_cast<UINT>(milliseconds), nullptr) == 0) return false;
    m_timers[id] = milliseconds;
    return true;
}

void TemplateDialog::KillTimer(int id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end()) return;
    if (m_window != nullptr) ::KillTimer(m_window, static_cast<UINT_PTR>(id));
    m_timers.erase(found);
}

bool TemplateDialog::HasTimer(int id) const { return m_timers.count(id) != 0; }

int TemplateDialog::TimerInterval(int id) const {
    const auto found = m_timers.find(id);
    return found != m_timers.end() ? found->second : 0;
}

void TemplateDialog::MapNotify(int controlId, unsigned code, NotifyHandler handler) {
    m_notifyMap[{controlId, code}] = std::move(handler);
}

bool TemplateDialog::AppendSystemMenuItem(int id, const std::string& text) {
    HMENU menu = m_window != nullptr ? GetSystemMenu(m_window, FALSE) : nullptr;
    if (menu == nullptr || text.empty()) return false;
    return AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) != FALSE &&
           AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), WideFromUtf8(text).c_str()) != FALSE;
}

bool TemplateDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void TemplateDialog::DoDataExchange(DataExchange&) {}

bool TemplateDialog::OnCommand(int id) {
    const auto mapped = m_commandMap.find(id);
    if (mapped != m_commandMap.end()) {
        // A copy: the handler may remap or end the dialog while it runs.
        const std::function<void()> handler = mapped->second;
        handler();
        return true;
    }
    switch (id) {
        case IDOK: OnOK(); return true;
        case IDCANCEL: OnCancel(); return true;
        default: return false;
    }
}

void TemplateDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void TemplateDialog::OnCancel() { EndDialog(IDCANCEL); }

void TemplateDialog::OnTimer(int) {}

void TemplateDialog::OnShowWindow(bool) {}

bool TemplateDialog::OnSysCommand(int) { return false; }

void TemplateDialog::MapCommand(int id, std::function<void()> handler) { m_commandMap[id] = std::move(handler); }

}  // namespace pelmora
