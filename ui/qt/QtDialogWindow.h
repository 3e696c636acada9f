#pragma once
// The Qt back end's window of a TemplateDialog: a QDialog built from the dialog template, whose events
// reach the dialog's hooks (OnInitDialog, OnCommand, OnTimer, OnShowWindow, ...). It lives as long as its
// TemplateDialog.
#include "ui/qt/DialogResource.h"
#include "ui/qt/DialogUnits.h"

#include <QtCore/QString>
#include <QtWidgets/QDialog>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QAction;

namespace pelmora {

class TemplateDialog;

class QtDialogWindow : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtDialogWindow)

public:
    // Builds the window and every control of template `templateId` for `dialog`; an unknown template gives
    // an empty window (HasTemplate() is then false).
    QtDialogWindow(TemplateDialog& dialog, int templateId);
    ~QtDialogWindow() override;

    TemplateDialog& Dialog() const { return m_dialog; }

    // Runs the dialog modally; the result is the value given to EndDialog (IDOK, IDCANCEL, ...).
    // Timers end with the run, as they would with the window.
    int DoModal();
    // Ends the modal run (or hides a modeless dialog) with `result`.
    void EndDialog(int result);
    int TemplateId() const { return m_templateId; }
    bool HasTemplate() const { return m_hasTemplate; }
    const DialogResource& Template() const { return m_template; }
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

    // Queues command `id` for the event loop, as a command sent by another window.
    void PostCommand(int id);

    // Starts or restarts timer `id`; OnTimer(id) runs every `milliseconds`. False if no timer was made.
    bool SetTimer(int id, int milliseconds);
    void KillTimer(int id);
    bool HasTimer(int id) const;
    // The period a running timer was started with; 0 when timer `id` is not running.
    int TimerInterval(int id) const;

    // The window-menu and context-menu items: see TemplateDialog. The actions, for tests; null when none.
    bool AppendSystemMenuItem(int id, const QString& text);
    void AppendContextMenuItem(int controlId, int commandId, const QString& text);
    QAction* SystemMenuAction(int id) const;
    QAction* MenuAction(int commandId) const;

protected:
    void setVisible(bool visible) override;
    void accept() override;
    void reject() override;
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OpenContextMenuFromKeyboard();
    void BuildControls();
    void ApplyGeometry();
    void FocusFirstTabStop();
    void SetOwnerForModalRun();
    void KillAllTimers();

    TemplateDialog& m_dialog;
    int m_templateId;
    bool m_hasTemplate = false;
    DialogResource m_template;
    DialogUnits m_units;
    std::vector<std::pair<QWidget*, const ControlTemplate*>> m_controls;  // template order
    std::map<int, QWidget*> m_controlsById;
    std::vector<std::pair<int, QAction*>> m_systemMenu;   // by system command
    std::vector<std::pair<int, QAction*>> m_contextMenu;  // by command
    QMenu* m_popup = nullptr;                             // the context menu, made at its first opening
    struct Timer {
        int qtId;
        int milliseconds;
    };
    std::map<int, Timer> m_timers;  // by our timer ID
    bool m_initialised = false;
};

// The window a TemplateDialog holds on this back end.
class BackEndWindow final : public QtDialogWindow {
public:
    using QtDialogWindow::QtDialogWindow;
};

}  // namespace pelmora
