#pragma once
// A modal dialog run from a dialog template in the program's resources, with the command, timer and
// data-exchange hooks that the tool's dialogs override: OnInitDialog, DoDataExchange, OnCommand, OnOK,
// OnCancel, OnTimer, OnShowWindow. The window exists only while DoModal runs.
#include "ui/WindowHandle_win32.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace pelmora {

class DataExchange;

class TemplateDialog {
public:
    explicit TemplateDialog(int templateId);
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;
    TemplateDialog(TemplateDialog&&) = delete;
    TemplateDialog& operator=(TemplateDialog&&) = delete;
    virtual ~TemplateDialog();

    // Runs the dialog modally, owned by the thread's active window; the result is the value given to
    // EndDialog (IDOK, IDCANCEL, ...), or -1 when the template could not be made into a window.
    int DoModal();
    // Ends the modal run with `result` once the running handler returns.
    void EndDialog(int result);
    // Whether EndDialog has been called since the modal run began.
    bool RunEnded() const { return m_runEnded; }

    int TemplateId() const { return m_templateId; }
    // The dialog window while DoModal runs; null before and after.
    WindowHandle Window() const { return m_window; }
    // The control with template ID `id` (the first one for IDs used twice, such as IDC_STATIC).
    WindowHandle Control(int id) const;
    void EnableControl(int id, bool enable);

    // Runs DoDataExchange in one direction; false when saving failed (the exchange showed why).
    bool UpdateData(bool saveAndValidate = true);

    // Delivers command `id` now, as a click on the control with that ID would.
    void SendCommand(int id);
    // Queues command `id` for the message loop, as a command sent by another window. Only while the
    // dialog runs; there is no window to queue it for otherwise, and it is dropped.
    void PostCommand(int id);

    // Starts or restarts timer `id`; OnTimer(id) runs every `milliseconds`. False without a window.
    bool SetTimer(int id, int milliseconds);
    void KillTimer(int id);
    bool HasTimer(int id) const;
    // The period a running timer was started with; 0 when timer `id` is not running.
    int TimerInterval(int id) const;

    // Appends a separator and an item with command `id` (a multiple of 16 below 0xF000) to the window's
    // system menu; choosing it runs OnSysCommand(id). False without a window or a system menu.
    bool AppendSystemMenuItem(int id, const std::string& text);

    // A control's WM_NOTIFY handler for one notification code; it gets the notification's header
    // (NMHDR and what follows it) and returns the message's result.
    using NotifyHandler = std::function<std::intptr_t(const void* header)>;
    void MapNotify(int controlId, unsigned code, NotifyHandler handler);

protected:
    // Once, before the dialog is first shown. The default exchanges members to controls; returning
    // true lets the dialog manager put the focus on the first tab-stop control.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& exchange);
    // Every command: clicks of buttons and check boxes, menu items, SendCommand, PostCommand. The
    // default runs a handler given to MapCommand, then IDOK → OnOK, IDCANCEL → OnCancel. True when handled.
    virtual bool OnCommand(int id);
    // The default saves the controls into the members and, if that succeeds, ends with IDOK.
    virtual void OnOK();
    // The default ends with IDCANCEL. Escape and the close box come here.
    virtual void OnCancel();
    virtual void OnTimer(int id);
    virtual void OnShowWindow(bool shown);
    // A system-menu command, its low four bits cleared; true when handled, else the system's own handling.
    virtual bool OnSysCommand(int id);

    // The message-map entry for one command ID.
    void MapCommand(int id, std::function<void()> handler);

private:
    friend struct DialogMessages;

    int m_templateId;
    WindowHandle m_window = nullptr;
    bool m_runEnded = false;
    std::map<int, std::function<void()>> m_commandMap;
    std::map<std::pair<int, unsigned>, NotifyHandler> m_notifyMap;
    std::map<int, int> m_timers;  // timer ID → period in milliseconds
};

}  // namespace pelmora
