// The Win32 back end of TemplateDialog: the template made into a window by the dialog manager, and the
// dialog procedure that turns its messages into the hooks.
#include "ui/TemplateDialog.h"

#include "platform/WideText_win32.h"
#include "ui/DialogIds.h"
#include "ui/win32/ProgressCtrl.h"
#include "ui/win32/SessionEnd.h"
#include "ui/win32/Win32DialogWindow.h"
#include "ui/win32/Win32IpAddressCtrl.h"
#include "ui/win32/WindowClass.h"

#include "platform/Win32Headers_win32.h"

#include <objbase.h>

namespace pelmora {

namespace {

// NOLINTNEXTLINE(performance-no-int-to-ptr): a resource named by number is passed as such a pointer.
LPCWSTR ResourceName(int id) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id))); }

// Posted to itself by a dialog whose DPI changed.
constexpr UINT WM_DPI_APPLIED = WM_APP + 1;

int LowWord(WPARAM value) { return static_cast<int>(value & 0xFFFFU); }
int HighWord(WPARAM value) { return static_cast<int>((value >> 16U) & 0xFFFFU); }
// A coordinate of a message's point, which is signed: screens left of or above the primary one.
int SignedLow(LPARAM value) { return static_cast<short>(static_cast<WORD>(value & 0xFFFF)); }
int SignedHigh(LPARAM value) { return static_cast<short>(static_cast<WORD>((value >> 16) & 0xFFFF)); }

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

bool IsCheckBox(HWND control) {
    if (!IsWindowOfClass(control, WC_BUTTONW)) return false;
    const auto type = static_cast<LONG_PTR>(GetWindowLongPtrW(control, GWL_STYLE)) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
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
            // The lists exist before OnInitDialog, which fills them.
            dialog->Window().Begin(window);
        } else {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the dialog's address, kept in the window at WM_INITDIALOG.
            dialog = reinterpret_cast<TemplateDialog*>(GetWindowLongPtrW(window, DWLP_USER));
        }
        if (dialog == nullptr) return FALSE;
        try {
            return Handle(*dialog, window, message, wParam, lParam);
        } catch (...) {
            // C++ exceptions do not unwind through the dialog manager's frames: this run ends, and DoModal
            // throws it on in the program's own frames.
            dialog->Window().KeepException(std::current_exception());
            ::EndDialog(window, -1);
            return FALSE;
        }
    }

    static INT_PTR Handle(TemplateDialog& dialog, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_INITDIALOG: SetWindowIcons(window); return DialogHooks::InitDialog(dialog) ? TRUE : FALSE;
            case WM_COMMAND:
                // Clicks, menu items and posted commands; a control's other notifications (EN_CHANGE of an
                // edit or of an IP address field, say) are no commands.
                if (lParam != 0 && HighWord(wParam) != BN_CLICKED) return FALSE;
                return DialogHooks::Command(dialog, LowWord(wParam)) ? TRUE : FALSE;
            case WM_NOTIFY: {
                std::intptr_t result = 0;
                // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_NOTIFY carries its header's address in lParam.
                if (!dialog.Window().Notify(reinterpret_cast<void*>(lParam), result)) return FALSE;
                SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
                return TRUE;
            }
            case WM_CONTEXTMENU:
                // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_CONTEXTMENU names the clicked window in wParam.
                return dialog.Window().ShowContextMenu(reinterpret_cast<HWND>(wParam), SignedLow(lParam),
                                                       SignedHigh(lParam))
                           ? TRUE
                           : FALSE;
            case WM_TIMER: {
                const int id = static_cast<int>(wParam);
                if (!dialog.Window().HasTimer(id)) return FALSE;
                DialogHooks::Timer(dialog, id);
                return TRUE;
            }
            case WM_SYSCOMMAND:
                return DialogHooks::SysCommand(dialog, static_cast<int>(wParam & 0xFFF0U)) ? TRUE : FALSE;
            case WM_SHOWWINDOW: DialogHooks::ShowWindow(dialog, wParam != FALSE); return FALSE;
            case WM_DESTROY: dialog.Window().Closing(); return FALSE;
            case WM_DPICHANGED:
                // The dialog manager scales the dialog, its controls and fonts once this returns; the lists
                // follow after that. The new DPI is in both words.
                PostMessageW(window, WM_DPI_APPLIED, wParam, 0);
                return FALSE;
            case WM_DPI_APPLIED: dialog.Window().DpiChanged(LowWord(wParam)); return TRUE;
            case WM_ENDSESSION:
                if (wParam != FALSE) RunSessionEndAction();
                return FALSE;
            default: return FALSE;
        }
    }
};

TemplateDialog::TemplateDialog(int templateId)
    : m_templateId(templateId), m_window(std::make_unique<BackEndWindow>(*this)) {}

TemplateDialog::~TemplateDialog() = default;

int TemplateDialog::DoModal() {
    StartCommonControls();
    // For the list's accessible descriptions and the Save As dialog; a caller's apartment stays as it is.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_runEnded = false;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), ResourceName(m_templateId), OwnerForNewWindow(),
                                           DialogMessages::Procedure, reinterpret_cast<LPARAM>(this));
    m_window->End();
    if (SUCCEEDED(com)) CoUninitialize();
    if (std::exception_ptr error = m_window->TakeException()) std::rethrow_exception(error);
    return static_cast<int>(result);
}

void TemplateDialog::EndDialog(int result) {
    m_runEnded = true;
    if (HWND window = m_window->Handle()) ::EndDialog(window, result);
}

bool TemplateDialog::HasControl(int id) const { return m_window->Control(id) != nullptr; }

void TemplateDialog::EnableControl(int id, bool enable) {
    if (HWND control = m_window->Control(id)) EnableWindow(control, enable ? TRUE : FALSE);
}

bool TemplateDialog::IsControlEnabled(int id) const {
    HWND control = m_window->Control(id);
    return control != nullptr && IsWindowEnabled(control) != FALSE;
}

bool TemplateDialog::IsChecked(int id) const {
    HWND control = m_window->Control(id);
    return IsCheckBox(control) && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int TemplateDialog::GetAddress(int id, std::uint32_t& address) const {
    address = 0;
    HWND control = m_window->Control(id);
    return IsWindowOfClass(control, WC_IPADDRESSW) ? Win32IpAddressCtrl(control).GetAddress(address) : 0;
}

bool TemplateDialog::IsAddressBlank(int id) const {
    HWND control = m_window->Control(id);
    return !IsWindowOfClass(control, WC_IPADDRESSW) || Win32IpAddressCtrl(control).IsBlank();
}

void TemplateDialog::SetAddress(int id, std::uint32_t address) {
    HWND control = m_window->Control(id);
    if (IsWindowOfClass(control, WC_IPADDRESSW)) Win32IpAddressCtrl(control).SetAddress(address);
}

void TemplateDialog::SetProgressRange(int id, int lower, int upper) {
    HWND control = m_window->Control(id);
    if (IsWindowOfClass(control, PROGRESS_CLASSW)) ProgressCtrl(control).SetRange(lower, upper);
}

void TemplateDialog::SetProgressPos(int id, int position) {
    HWND control = m_window->Control(id);
    if (IsWindowOfClass(control, PROGRESS_CLASSW)) ProgressCtrl(control).SetPos(position);
}

ReportList* TemplateDialog::List(int id) const { return m_window->List(id); }

void TemplateDialog::PostCommand(int id) {
    // Without a window there is nothing to queue it for: it is dropped.
    if (HWND window = m_window->Handle()) {
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(id)), 0);
    }
}

bool TemplateDialog::SetTimer(int id, int milliseconds) { return m_window->SetTimer(id, milliseconds); }

void TemplateDialog::KillTimer(int id) { m_window->KillTimer(id); }

bool TemplateDialog::HasTimer(int id) const { return m_window->HasTimer(id); }

int TemplateDialog::TimerInterval(int id) const { return m_window->TimerInterval(id); }

bool TemplateDialog::AppendSystemMenuItem(int id, const std::string& text) {
    HWND window = m_window->Handle();
    HMENU menu = window != nullptr ? GetSystemMenu(window, FALSE) : nullptr;
    if (menu == nullptr || text.empty()) return false;
    return AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) != FALSE &&
           AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), WideFromUtf8(text).c_str()) != FALSE;
}

void TemplateDialog::AppendContextMenuItem(int controlId, int commandId, const std::string& text) {
    m_window->AppendContextMenuItem(controlId, commandId, text);
}

void TemplateDialog::EnableMenuCommand(int commandId, bool enable) { m_window->EnableMenuCommand(commandId, enable); }

bool TemplateDialog::IsMenuCommandEnabled(int commandId) const { return m_window->IsMenuCommandEnabled(commandId); }

}  // namespace pelmora
