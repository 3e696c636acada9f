#include "ui/win32/Win32DialogWindow.h"

#include "platform/WideText_win32.h"
#include "ui/TemplateDialog.h"
#include "ui/win32/Win32ReportList.h"
#include "ui/win32/WindowClass.h"

#include "platform/Win32Headers_win32.h"

#include <algorithm>

namespace pelmora {

namespace {

// The dialogs whose modal run is going on, the innermost last; all on the one thread that runs the windows.
std::vector<const Win32DialogWindow*>& RunningDialogs() {
    static std::vector<const Win32DialogWindow*> running;
    return running;
}

void Forget(const Win32DialogWindow* window) {
    auto& running = RunningDialogs();
    running.erase(std::remove(running.begin(), running.end(), window), running.end());
}

}  // namespace

WindowHandle InnermostRunningDialog() {
    const auto& running = RunningDialogs();
    return running.empty() ? nullptr : running.back()->Handle();
}

WindowHandle OwnerForNewWindow() {
    if (WindowHandle dialog = InnermostRunningDialog()) return dialog;
    return GetActiveWindow();
}

Win32DialogWindow::Win32DialogWindow(TemplateDialog& dialog) : m_dialog(dialog) {}

Win32DialogWindow::~Win32DialogWindow() { Forget(this); }

WindowHandle Win32DialogWindow::Control(int id) const {
    return m_window != nullptr ? GetDlgItem(m_window, id) : nullptr;
}

ReportList* Win32DialogWindow::List(int id) const {
    const auto found = m_lists.find(id);
    return found != m_lists.end() ? found->second.get() : nullptr;
}

void Win32DialogWindow::MapNotify(int controlId, unsigned code, NotifyHandler handler) {
    m_notifyMap[{controlId, code}] = std::move(handler);
}

bool Win32DialogWindow::Notify(void* header, std::intptr_t& result) {
    const auto* notification = static_cast<const NMHDR*>(header);
    const int id = static_cast<int>(notification->idFrom);
    bool handled = false;
    const auto list = m_lists.find(id);
    if (list != m_lists.end() && list->second->Handle() == notification->hwndFrom) {
        handled = list->second->Notify(header, result);
    }
    const auto found = m_notifyMap.find({id, notification->code});
    if (found != m_notifyMap.end()) {
        // A copy: the handler may remap or end the dialog while it runs.
        const NotifyHandler handler = found->second;
        result = handler(header);
        handled = true;
    }
    return handled;
}

bool Win32DialogWindow::SetTimer(int id, int milliseconds) {
    if (m_window == nullptr || id < 0 || milliseconds < 0) return false;
    if (::SetTimer(m_window, static_cast<UINT_PTR>(id), static_cast<UINT>(milliseconds), nullptr) == 0) return false;
    m_timers[id] = milliseconds;
    return true;
}

void Win32DialogWindow::KillTimer(int id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end()) return;
    if (m_window != nullptr) ::KillTimer(m_window, static_cast<UINT_PTR>(id));
    m_timers.erase(found);
}

int Win32DialogWindow::TimerInterval(int id) const {
    const auto found = m_timers.find(id);
    return found != m_timers.end() ? found->second : 0;
}

void Win32DialogWindow::AppendContextMenuItem(int controlId, int commandId, const std::string& text) {
    // OnInitDialog adds the items again at every run of the same dialog.
    const auto same = std::find_if(m_menuItems.begin(), m_menuItems.end(), [&](const MenuItem& item) {
        return item.controlId == controlId && item.commandId == commandId;
    });
    if (same != m_menuItems.end()) {
        same->text = text;
    } else {
        m_menuItems.push_back({controlId, commandId, text});
    }
}

void Win32DialogWindow::EnableMenuCommand(int commandId, bool enable) { m_menuEnabled[commandId] = enable; }

bool Win32DialogWindow::IsMenuCommandEnabled(int commandId) const {
    const auto found = m_menuEnabled.find(commandId);
    return found == m_menuEnabled.end() || found->second;
}

MenuHandle Win32DialogWindow::BuildContextMenu(int controlId) const {
    HMENU menu = nullptr;
    for (const MenuItem& item : m_menuItems) {
        if (item.controlId != controlId) continue;
        if (menu == nullptr) menu = CreatePopupMenu();
        if (menu == nullptr) return nullptr;
        const UINT state = IsMenuCommandEnabled(item.commandId) ? MF_ENABLED : MF_GRAYED;
        AppendMenuW(menu, MF_STRING | state, static_cast<UINT_PTR>(item.commandId), WideFromUtf8(item.text).c_str());
    }
    return menu;
}

bool Win32DialogWindow::ShowContextMenu(WindowHandle control, int screenX, int screenY) {
    // A click on a control's own child (a list's header, an address field) is a click on the control.
    while (control != nullptr && GetParent(control) != m_window) control = GetParent(control);
    if (control == nullptr || m_window == nullptr) return false;
    HMENU menu = BuildContextMenu(GetDlgCtrlID(control));
    if (menu == nullptr) return false;

    POINT at{screenX, screenY};
    if (screenX == -1 && screenY == -1) {
        // From the keyboard: below the selected row's start, or at the control's corner.
        at = POINT{0, 0};
        const auto row = IsWindowOfClass(control, WC_LISTVIEWW)
                             ? SendMessageW(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)
                             : -1;
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        if (row >= 0 && SendMessageW(control, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&bounds)) != FALSE) {
            at = POINT{bounds.left, bounds.bottom};
        }
        ClientToScreen(control, &at);
    }
    const BOOL chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, m_window, nullptr);
    DestroyMenu(menu);
    if (chosen != 0) ChooseMenuCommand(chosen);
    return true;
}

bool Win32DialogWindow::ChooseMenuCommand(int commandId) {
    if (!IsMenuCommandEnabled(commandId)) return false;
    DialogHooks::Command(m_dialog, commandId);
    return true;
}

void Win32DialogWindow::Begin(WindowHandle window) {
    m_window = window;
    Forget(this);
    RunningDialogs().push_back(this);
    m_lists.clear();
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowOfClass(child, WC_LISTVIEWW)) {
            m_lists.try_emplace(GetDlgCtrlID(child), std::make_unique<Win32ReportList>(child));
        }
    }
}

void Win32DialogWindow::Closing() {
    for (auto& [id, list] : m_lists) list->ClearDescriptions();
}

void Win32DialogWindow::DpiChanged(int dpi) {
    for (auto& [id, list] : m_lists) list->DpiChanged(dpi);
}

void Win32DialogWindow::End() {
    Forget(this);
    m_lists.clear();
    m_timers.clear();
    m_window = nullptr;
}

}  // namespace pelmora
