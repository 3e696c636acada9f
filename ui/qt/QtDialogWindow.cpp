#include "ui/qt/QtDialogWindow.h"

#include "ui/DialogIds.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/ControlFactory.h"
#include "ui/qt/QtAccessibleNames.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QLoggingCategory>
#include <QtCore/QTimer>
#include <QtGui/QAccessible>
#include <QtGui/QAccessibleObject>
#include <QtGui/QAction>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QShortcut>
#include <QtGui/QWindow>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>

namespace pelmora {

namespace {

// A command queued by PostCommand.
class CommandEvent : public QEvent {
public:
    explicit CommandEvent(int commandId) : QEvent(Type()), m_commandId(commandId) {}
    static QEvent::Type Type() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    int CommandId() const { return m_commandId; }

private:
    int m_commandId;
};

Qt::WindowFlags WindowFlagsFor(const DialogResource& dialogTemplate) {
    Qt::WindowFlags flags = dialogTemplate.appWindow ? Qt::Window : Qt::Dialog;
    // No minimise, maximise or context-help buttons: only what the template asks for.
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialogTemplate.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

// The application as a screen reader sees it: its windows and the open popup menu. Qt leaves popups out,
// though a menu names the application as its parent, so a reader walking the tree would not find one.
class ApplicationAccessible : public QAccessibleApplication {
public:
    int childCount() const override { return QAccessibleApplication::childCount() + (Popup() != nullptr ? 1 : 0); }
    QAccessibleInterface* child(int index) const override {
        QAccessibleInterface* popup = Popup();
        if (popup != nullptr && index == QAccessibleApplication::childCount()) return popup;
        return QAccessibleApplication::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child != nullptr && child == Popup()) return QAccessibleApplication::childCount();
        return QAccessibleApplication::indexOfChild(child);
    }

private:
    static QAccessibleInterface* Popup() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr ? QAccessible::queryAccessibleInterface(menu) : nullptr;
    }
};

QAccessibleInterface* ApplicationAccessibleFactory(const QString& className, QObject* object) {
    if (object == nullptr || object != QCoreApplication::instance() || className != QLatin1String("QApplication"))
        return nullptr;
    return new ApplicationAccessible;
}

// From QApplication's constructor: before any event loop, so before a bridge asks for the application.
void InstallApplicationAccessible() { QAccessible::installFactory(ApplicationAccessibleFactory); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallApplicationAccessible)

QtDialogWindow::QtDialogWindow(TemplateDialog& dialog, int templateId)
    : m_dialog(dialog), m_templateId(templateId), m_units(DialogUnits::FromFont(font())) {
    QString error;
    if (auto loaded = LoadDialogResource(templateId, &error)) {
        m_template = std::move(*loaded);
        m_hasTemplate = true;
    } else {
        qWarning("dialog template %d: %s", templateId, qPrintable(error));
    }
    setWindowFlags(WindowFlagsFor(m_template));
    setWindowTitle(m_template.title);
    setWindowIcon(LoadIcon(IDR_MAINFRAME));
    // Qt on X11 turns only the Menu key into a context menu; Windows and GTK take Shift+F10 too, so it does here.
    auto* shiftF10 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(shiftF10, &QShortcut::activated, this, &QtDialogWindow::OpenContextMenuFromKeyboard);
    BuildControls();
    ApplyGeometry();
}

QtDialogWindow::~QtDialogWindow() = default;

void QtDialogWindow::BuildControls() {
    for (std::size_t index = 0; index < m_template.controls.size(); ++index) {
        const ControlTemplate& control = m_template.controls[index];
        QWidget* widget = CreateControl(control, this);
        ApplyAccessibleName(widget, AccessibleNameFor(m_template.controls, index));
        m_controls.emplace_back(widget, &control);
        m_controlsById.emplace(control.id, widget);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const int id = control.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { m_dialog.SendCommand(id); });
        }
    }
    // Group boxes only frame their neighbours; beneath them they must not take their clicks.
    for (const auto& [widget, control] : m_controls) {
        if (control->kind == ControlKind::GroupBox) widget->lower();
    }
}

void QtDialogWindow::ApplyGeometry() {
    for (const auto& [widget, control] : m_controls) {
        const QRect pixels = m_units.ToPixels(control->rect);
        widget->setGeometry(pixels);
        if (control->kind == ControlKind::Icon) SetIconControlSize(widget, control->iconId, pixels.size());
    }
    const QSize size = m_units.ToPixels(m_template.size);
    if (m_template.fixedSize) {
        setFixedSize(size);
    } else {
        resize(size);
    }
}

QWidget* QtDialogWindow::Control(int id) const {
    const auto found = m_controlsById.find(id);
    return found == m_controlsById.end() ? nullptr : found->second;
}

void QtDialogWindow::EnableControl(int id, bool enable) {
    if (QWidget* control = Control(id)) control->setEnabled(enable);
}

int QtDialogWindow::DoModal() {
    DialogHooks::SetRunEnded(m_dialog, false);
    SetOwnerForModalRun();
    const int result = exec();
    KillAllTimers();
    return result;
}

void QtDialogWindow::EndDialog(int result) {
    DialogHooks::SetRunEnded(m_dialog, true);
    QDialog::done(result);
}

void QtDialogWindow::PostCommand(int id) { QCoreApplication::postEvent(this, new CommandEvent(id)); }

bool QtDialogWindow::SetTimer(int id, int milliseconds) {
    KillTimer(id);
    const int qtId = startTimer(milliseconds);
    if (qtId == 0) return false;
    m_timers[id] = Timer{qtId, milliseconds};
    return true;
}

void QtDialogWindow::KillTimer(int id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end()) return;
    killTimer(found->second.qtId);
    m_timers.erase(found);
}

bool QtDialogWindow::HasTimer(int id) const { return m_timers.count(id) != 0; }

int QtDialogWindow::TimerInterval(int id) const {
    const auto found = m_timers.find(id);
    return found != m_timers.end() ? found->second.milliseconds : 0;
}

void QtDialogWindow::KillAllTimers() {
    for (const auto& [id, timer] : m_timers) killTimer(timer.qtId);
    m_timers.clear();
}

bool QtDialogWindow::AppendSystemMenuItem(int id, const QString& text) {
    if (!m_template.systemMenu || text.isEmpty()) return false;
    auto* action = new QAction(text, this);
    // The window menu's first item, About by custom, is the one that help opens.
    if (m_systemMenu.empty()) {
        action->setShortcut(QKeySequence(Qt::Key_F1));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, [this, id] { DialogHooks::SysCommand(m_dialog, id); });
    addAction(action);
    m_systemMenu.emplace_back(id, action);
    return true;
}

void QtDialogWindow::AppendContextMenuItem(int, int commandId, const QString& text) {
    // The window's context menu holds every control's items: it is where a Linux user looks for them.
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, [this, commandId] { m_dialog.SendCommand(commandId); });
    m_contextMenu.emplace_back(commandId, action);
}

QAction* QtDialogWindow::SystemMenuAction(int id) const {
    for (const auto& [itemId, action] : m_systemMenu)
        if (itemId == id) return action;
    return nullptr;
}

QAction* QtDialogWindow::MenuAction(int commandId) const {
    for (const auto& [itemId, action] : m_contextMenu)
        if (itemId == commandId) return action;
    return nullptr;
}

void QtDialogWindow::OpenContextMenuFromKeyboard() {
    // As Qt routes the Menu key: to the focus widget, at its cursor or current item, passed up if ignored.
    QWidget* target = focusWidget() != nullptr ? focusWidget() : this;
    QPoint pos = target->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    if (!target->rect().contains(pos)) pos = target->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, target->mapToGlobal(pos), Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void QtDialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    // One menu for the window's life: the accessibility layer keeps each action's interface with the first
    // menu it was shown in, so a menu made anew for every opening would leave a screen reader the items of
    // one that is gone, none of them selected.
    if (m_popup == nullptr) m_popup = new QMenu(this);
    QMenu& menu = *m_popup;
    menu.clear();
    for (const auto& [id, action] : m_systemMenu) menu.addAction(action);
    for (const auto& [id, action] : m_contextMenu) menu.addAction(action);
    if (menu.isEmpty()) {
        QDialog::contextMenuEvent(event);
        return;
    }
    // Opened from the keyboard, the first item is selected once the menu shows, so a screen reader speaks it.
    QTimer selectFirst;
    selectFirst.setSingleShot(true);
    if (event->reason() == QContextMenuEvent::Keyboard) {
        for (QAction* action : menu.actions()) {
            if (action->isEnabled() && !action->isSeparator()) {
                connect(&selectFirst, &QTimer::timeout, &menu, [&menu, action] { menu.setActiveAction(action); });
                selectFirst.start(0);
                break;
            }
        }
    }
    menu.exec(event->globalPos());
}

void QtDialogWindow::setVisible(bool visible) {
    bool focusFirst = false;
    if (visible && !m_initialised) {
        m_initialised = true;
        focusFirst = DialogHooks::InitDialog(m_dialog);
    }
    QDialog::setVisible(visible);
    if (focusFirst) FocusFirstTabStop();
}

void QtDialogWindow::FocusFirstTabStop() {
    for (const auto& [widget, control] : m_controls) {
        if (control->Has(CF_TABSTOP) && widget->isEnabled() && widget->isVisibleTo(this) &&
            widget->focusPolicy() != Qt::NoFocus) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void QtDialogWindow::SetOwnerForModalRun() {
    // Without a parent the window in front becomes the owner, so window managers keep this one above it.
    if (parentWidget() != nullptr) return;
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) owner = QApplication::activeWindow();
    if (owner == nullptr || owner == this) return;
    QWindow* ownerWindow = owner->window()->windowHandle();
    if (ownerWindow == nullptr) return;
    winId();
    if (QWindow* own = windowHandle()) own->setTransientParent(ownerWindow);
}

void QtDialogWindow::accept() { m_dialog.SendCommand(IDOK); }

void QtDialogWindow::reject() { m_dialog.SendCommand(IDCANCEL); }

bool QtDialogWindow::event(QEvent* event) {
    if (event->type() == CommandEvent::Type()) {
        m_dialog.SendCommand(static_cast<CommandEvent*>(event)->CommandId());
        return true;
    }
    return QDialog::event(event);
}

void QtDialogWindow::timerEvent(QTimerEvent* event) {
    for (const auto& [id, timer] : m_timers) {
        if (timer.qtId == event->timerId()) {
            DialogHooks::Timer(m_dialog, id);
            return;
        }
    }
    QDialog::timerEvent(event);
}

void QtDialogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) DialogHooks::ShowWindow(m_dialog, true);
}

void QtDialogWindow::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) DialogHooks::ShowWindow(m_dialog, false);
}

void QtDialogWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->key() == Qt::Key_Enter && event->modifiers() == Qt::KeypadModifier);
    if (enter && plain) {
        bool hasDefault = false;
        for (const QPushButton* button : findChildren<QPushButton*>()) {
            if (button->isDefault() && button->isVisibleTo(this)) hasDefault = true;
        }
        // With no default button, Enter is IDOK, as in the dialog manager this stands in for.
        if (!hasDefault) {
            m_dialog.SendCommand(IDOK);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void QtDialogWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_units = DialogUnits::FromFont(font());
        ApplyGeometry();
    }
}

}  // namespace pelmora
