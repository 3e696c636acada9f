#pragma once
// The Win32 side of a TemplateDialog: the dialog window while DoModal runs, the controls' notifications,
// the timers, the context menus and the report lists of the template. Outside the run there is no
// window: control calls find nothing and the lists are gone.
#include "ui/win32/WindowHandle.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct HMENU__;

namespace pelmora {

class ReportList;
class Win32ReportList;
class TemplateDialog;

using MenuHandle = HMENU__*;

// The window of the innermost dialog of this program whose modal run is going on; null when none is.
WindowHandle InnermostRunningDialog();
// The owner of a dialog or message box the program opens now: the innermost running dialog, as the Qt back
// end takes the active modal dialog, so that its run disables that dialog even while another program's window
// is in front; the thread's active window when no dialog runs.
WindowHandle OwnerForNewWindow();

class Win32DialogWindow {
public:
    explicit Win32DialogWindow(TemplateDialog& dialog);
    Win32DialogWindow(const Win32DialogWindow&) = delete;
    Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;
    Win32DialogWindow(Win32DialogWindow&&) = delete;
    Win32DialogWindow& operator=(Win32DialogWindow&&) = delete;
    ~Win32DialogWindow();

    // The dialog window while DoModal runs; null before and after.
    WindowHandle Handle() const { return m_window; }
    // The control with template ID `id` (the first one for IDs used twice, such as IDC_STATIC).
    WindowHandle Control(int id) const;
    // The report list over the list view with `id`, while the window exists.
    ReportList* List(int id) const;

    // A control's WM_NOTIFY handler for one notification code; it gets the notification's header
    // (NMHDR and what follows it) and returns the message's result. A report list sees its own first.
    using NotifyHandler = std::function<std::intptr_t(const void* header)>;
    void MapNotify(int controlId, unsigned code, NotifyHandler handler);
    // Runs the handlers of one WM_NOTIFY; false when none took it.
    bool Notify(void* header, std::intptr_t& result);

    bool SetTimer(int id, int milliseconds);
    void KillTimer(int id);
    bool HasTimer(int id) const { return m_timers.count(id) != 0; }
    int TimerInterval(int id) const;

    // Context menus per control, in the order the items were added; an item added again keeps its place.
    void AppendContextMenuItem(int controlId, int commandId, const std::string& text);
    void EnableMenuCommand(int commandId, bool enable);
    bool IsMenuCommandEnabled(int commandId) const;
    // A new popup menu with control `controlId`'s items, greyed as their commands are; null when the
    // control has none. The caller destroys it.
    MenuHandle BuildContextMenu(int controlId) const;
    // WM_CONTEXTMENU from `control`: its menu at `screenX`, `screenY`, or for the keyboard (both -1) at
    // the selected row of a list, else at the control's top-left. False when the control has no menu.
    bool ShowContextMenu(WindowHandle control, int screenX, int screenY);
    // A command chosen from a context menu goes to OnCommand unless it is greyed; true when it went.
    bool ChooseMenuCommand(int commandId);

    // WM_INITDIALOG, before OnInitDialog: the window, and a report list for each of its list views; the
    // dialog is the innermost running one until End.
    void Begin(WindowHandle window);
    // WM_DESTROY: what the lists put outside the window goes while it still exists.
    void Closing();
    // After WM_DPICHANGED and the dialog manager's scaling: the lists follow the window to its new DPI.
    void DpiChanged(int dpi);
    // DoModal's return: the window, its lists and its timers are gone.
    void End();
    // An exception from a handler: it must not cross the system's frames, so the dialog procedure keeps
    // it, ends the run, and DoModal throws it again once the window is gone.
    void KeepException(std::exception_ptr error) { m_pendingException = std::move(error); }
    std::exception_ptr TakeException() { return std::exchange(m_pendingException, nullptr); }

private:
    std::exception_ptr m_pendingException;
    struct MenuItem {
        int controlId;
        int commandId;
        std::string text;
    };

    TemplateDialog& m_dialog;
    WindowHandle m_window = nullptr;
    std::map<std::pair<int, unsigned>, NotifyHandler> m_notifyMap;
    std::map<int, int> m_timers;  // timer ID → period in milliseconds
    std::vector<MenuItem> m_menuItems;
    std::map<int, bool> m_menuEnabled;  // command ID → enabled; absent means enabled
    std::map<int, std::unique_ptr<Win32ReportList>> m_lists;
};

// The window a TemplateDialog holds on this back end.
class BackEndWindow final : public Win32DialogWindow {
public:
    using Win32DialogWindow::Win32DialogWindow;
};

}  // namespace pelmora
