#pragma once
// A modal dialog built from a dialog template, with the command, timer and data-exchange hooks that the
// tool's dialogs override: OnInitDialog, DoDataExchange, OnCommand, OnOK, OnCancel, OnTimer, OnShowWindow,
// OnSysCommand. Controls are reached by their template IDs. Texts are UTF-8.
//
// No toolkit shows through: each back end (Qt widgets, Win32 dialogs) supplies the window, BackEndWindow,
// and the members that touch it. The Qt window lives as long as the object; the Win32 one while DoModal runs,
// and the control calls do nothing without it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace pelmora {

class DataExchange;
// The window of the back end this build links (ui/qt or ui/win32), which defines it.
class BackEndWindow;
class ReportList;

class TemplateDialog {
public:
    // The fields of an IP address control.
    static constexpr int ADDRESS_FIELDS = 4;

    explicit TemplateDialog(int templateId);
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;
    TemplateDialog(TemplateDialog&&) = delete;
    TemplateDialog& operator=(TemplateDialog&&) = delete;
    virtual ~TemplateDialog();

    // Runs the dialog modally, owned by the window in front; the result is the value given to EndDialog
    // (IDOK, IDCANCEL, ...), or -1 when the template could not be made into a window. Timers end with the run.
    int DoModal();
    // Ends the modal run with `result` once the running handler returns.
    void EndDialog(int result);
    // Whether EndDialog has been called since the modal run began: a handler still running inside the run
    // (around a nested dialog, say) can tell that the window is on its way out.
    bool RunEnded() const { return m_runEnded; }
    int TemplateId() const { return m_templateId; }

    // The back end's window, for the back end and its tests.
    BackEndWindow& Window() const { return *m_window; }

    bool HasControl(int id) const;
    void EnableControl(int id, bool enable);
    bool IsControlEnabled(int id) const;
    // A check box's state; false when there is no such check box.
    bool IsChecked(int id) const;
    // An IP address control: the address, first octet most significant, blank fields as 0, and how many
    // fields are filled (0 without such a control); whether no field is filled; filling all four.
    int GetAddress(int id, std::uint32_t& address) const;
    bool IsAddressBlank(int id) const;
    void SetAddress(int id, std::uint32_t address);
    // A progress bar's range and position.
    void SetProgressRange(int id, int lower, int upper);
    void SetProgressPos(int id, int position);
    // The report list with `id`; null when there is none (or, on Win32, no window).
    ReportList* List(int id) const;

    // Runs DoDataExchange in one direction; false when saving failed (the exchange showed why).
    bool UpdateData(bool saveAndValidate = true);

    // Delivers command `id` now, as a click on the control with that ID would.
    void SendCommand(int id);
    // Queues command `id` for the event loop, as a command sent by another window.
    void PostCommand(int id);

    // Starts or restarts timer `id`; OnTimer(id) runs every `milliseconds`. False if no timer was made.
    bool SetTimer(int id, int milliseconds);
    void KillTimer(int id);
    bool HasTimer(int id) const;
    // The period a running timer was started with; 0 when timer `id` is not running.
    int TimerInterval(int id) const;

    // An item of the window's system menu, after a separator; choosing it runs OnSysCommand(id). `id` is a
    // multiple of 16 below 0xF000. Where the window manager owns that menu (Linux), the item goes to the
    // window's context menu instead, and F1 chooses the first such item. Call it from OnInitDialog.
    bool AppendSystemMenuItem(int id, const std::string& text);
    // An item of the context menu of control `controlId` that sends command `commandId`. Call it from
    // OnInitDialog.
    void AppendContextMenuItem(int controlId, int commandId, const std::string& text);
    // Enables or greys a context-menu item.
    void EnableMenuCommand(int commandId, bool enable);
    bool IsMenuCommandEnabled(int commandId) const;

    // The system's Save As dialog, offering `suggestedName` in the folder the user last used or their
    // documents; `filter` is a pair such as {"CSV files", "*.csv"}. The chosen path, empty when cancelled.
    std::string ChooseSaveFile(const std::string& title, const std::string& suggestedName,
                               const std::string& filterName, const std::string& filterPattern) const;

protected:
    // Once per window, before it is first shown: the Qt window lives as long as the object, a Win32 one for
    // one DoModal. The default exchanges members to controls; returning true puts the focus on the first
    // tab-stop control.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& exchange);
    // Every command: clicks of buttons and check boxes, menu items, SendCommand, PostCommand. The default
    // runs a handler given to MapCommand, then IDOK → OnOK, IDCANCEL → OnCancel. True when handled.
    virtual bool OnCommand(int id);
    // The default saves the controls into the members and, if that succeeds, ends with IDOK.
    virtual void OnOK();
    // The default ends with IDCANCEL. Escape and the close box come here.
    virtual void OnCancel();
    virtual void OnTimer(int id);
    virtual void OnShowWindow(bool shown);
    // A system-menu command, its low four bits cleared; true when handled.
    virtual bool OnSysCommand(int id);

    // The message-map entry for one command ID.
    void MapCommand(int id, std::function<void()> handler);

private:
    friend struct DialogHooks;

    int m_templateId;
    bool m_runEnded = false;
    std::map<int, std::function<void()>> m_commandMap;
    std::unique_ptr<BackEndWindow> m_window;
};

// How a back end's window delivers its events to the dialog's hooks and marks the modal run. For the back
// ends (ui/qt, ui/win32) only: the application's dialogs override the hooks and never call these.
struct DialogHooks {
    static bool InitDialog(TemplateDialog& dialog) { return dialog.OnInitDialog(); }
    static bool Command(TemplateDialog& dialog, int id) { return dialog.OnCommand(id); }
    static void Timer(TemplateDialog& dialog, int id) { dialog.OnTimer(id); }
    static void ShowWindow(TemplateDialog& dialog, bool shown) { dialog.OnShowWindow(shown); }
    static bool SysCommand(TemplateDialog& dialog, int id) { return dialog.OnSysCommand(id); }
    static void SetRunEnded(TemplateDialog& dialog, bool ended) { dialog.m_runEnded = ended; }
};

}  // namespace pelmora
