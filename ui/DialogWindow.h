#pragma once
// A modal dialog built from a dialog template, with the command, timer and data-exchange hooks that
// the tool's dialogs override: OnInitDialog, DoDataExchange, OnCommand, OnOK, OnCancel, OnTimer,
// OnShowWindow.
#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"

#include <QtWidgets/QDialog>

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace pelmora {

class DataExchange;

class TemplateDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TemplateDialog)

public:
    // Builds the window and every control of template `templateId`; an unknown template gives an empty
    // dialog (HasTemplate() is then false).
    explicit TemplateDialog(int templateId, QWidget* parent = nullptr);
    ~TemplateDialog() override;

    // Runs the dialog modally; the result is the value given to EndDialog (IDOK, IDCANCEL, ...).
    // Timers end with the run, as they would with the window.
    int DoModal();
    // Ends the modal run (or hides a modeless dialog) with `result`.
    void EndDialog(int result);
    // Whether EndDialog has been called since the modal run began: a handler still running inside the run
    // (around a nested dialog, say) can tell that the window is on its way out.
    bool RunEnded() const { return m_runEnded; }

    int TemplateId() const { return m_templateId; }
    bool HasTemplate() const { return m_hasTemplate; }
    const DialogTemplate& Template() const { return m_template; }
    // Base units of the dialog's font; the controls are placed with them.
    const DialogUnits& Units() const { return m_units; }
    QRect MapDialogRect(const QRect& dialogUnits) const { return m_units.ToPixels(dialogUnits); }

    // The control with template ID `id` (the first one for IDs used twice, such as IDC_STATIC).
    QWidget* Control(int id) const;
    template <class T>
    T* ControlAs(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    void EnableControl(int id, bool enable);

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

protected:
    // Once, before the dialog is first shown. The default exchanges members to controls; returning
    // true puts the focus on the first tab-stop control.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& exchange);
    // Every command: clicks of buttons and check boxes, SendCommand, PostCommand. The default runs a
    // handler given to MapCommand, then IDOK → OnOK, IDCANCEL → OnCancel. True when handled.
    virtual bool OnCommand(int id);
    // The default saves the controls into the members and, if that succeeds, ends with IDOK.
    virtual void OnOK();
    // The default ends with IDCANCEL. Escape and the close box come here.
    virtual void OnCancel();
    virtual void OnTimer(int id);
    virtual void OnShowWindow(bool shown);

    // The message-map entry for one command ID.
    void MapCommand(int id, std::function<void()> handler);

    void setVisible(bool visible) override;
    void accept() override;
    void reject() override;
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void ApplyGeometry();
    void FocusFirstTabStop();
    void SetOwnerForModalRun();
    void KillAllTimers();

    int m_templateId;
    bool m_hasTemplate = false;
    DialogTemplate m_template;
    DialogUnits m_units;
    std::vector<std::pair<QWidget*, const ControlTemplate*>> m_controls;  // template order
    std::map<int, QWidget*> m_controlsById;
    std::map<int, std::function<void()>> m_commandMap;
    struct Timer {
        int qtId;
        int milliseconds;
    };
    std::map<int, Timer> m_timers;  // by our timer ID
    bool m_initialised = false;
    bool m_runEnded = false;
};

}  // namespace pelmora
