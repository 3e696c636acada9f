#include "ui/TemplateDialog.h"

#include "resources/ResourceIds.h"
#include "ui/AccessibleNames.h"
#include "ui/AppIcon.h"
#include "ui/ControlFactory.h"
#include "ui/DataExchange.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QLoggingCategory>
#include <QtGui/QKeyEvent>
#include <QtGui/QWindow>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
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

Qt::WindowFlags WindowFlagsFor(const DialogTemplate& dialogTemplate) {
    Qt::WindowFlags flags = dialogTemplate.appWindow ? Qt::Window : Qt::Dialog;
    // No minimise, maximise or context-help buttons: only what the template asks for.
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialogTemplate.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

}  // namespace

TemplateDialog::TemplateDialog(int templateId, QWidget* parent)
    : QDialog(parent), m_templateId(templateId), m_units(DialogUnits::FromFont(font())) {
    QString error;
    if (auto loaded = LoadDialogTemplate(templateId, &error)) {
        m_template = std::move(*loaded);
        m_hasTemplate = true;
    } else {
        qWarning("dialog template %d: %s", templateId, qPrintable(error));
    }
    setWindowFlags(WindowFlagsFor(m_template));
    setWindowTitle(m_template.title);
    setWindowIcon(LoadIcon(IDR_MAINFRAME));
    BuildControls();
    ApplyGeometry();
}

TemplateDialog::~TemplateDialog() = default;

void TemplateDialog::BuildControls() {
    for (std::size_t index = 0; index < m_template.controls.size(); ++index) {
        const ControlTemplate& control = m_template.controls[index];
        QWidget* widget = CreateControl(control, this);
        ApplyAccessibleName(widget, AccessibleNameFor(m_template.controls, index));
        m_controls.emplace_back(widget, &control);
        m_controlsById.emplace(control.id, widget);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const int id = control.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { SendCommand(id); });
        }
    }
    // Group boxes only frame their neighbours; beneath them they must not take their clicks.
    for (const auto& [widget, control] : m_controls) {
        if (control->kind == ControlKind::GroupBox) widget->lower();
    }
}

void TemplateDialog::ApplyGeometry() {
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

QWidget* TemplateDialog::Control(int id) const {
    const auto found = m_controlsById.find(id);
    return found == m_controlsById.end() ? nullptr : found->second;
}

void TemplateDialog::EnableControl(int id, bool enable) {
    if (QWidget* control = Control(id)) control->setEnabled(enable);
}

int TemplateDialog::DoModal() {
    m_runEnded = false;
    SetOwnerForModalRun();
    const int result = exec();
    KillAllTimers();
    return result;
}

void TemplateDialog::EndDialog(int result) {
    m_runEnded = true;
    QDialog::done(result);
}

bool TemplateDialog::UpdateData(bool saveAndValidate) {
    DataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    return exchange.Ok();
}

void TemplateDialog::SendCommand(int id) { OnCommand(id); }

void TemplateDialog::PostCommand(int id) { QCoreApplication::postEvent(this, new CommandEvent(id)); }

bool TemplateDialog::SetTimer(int id, int milliseconds) {
    KillTimer(id);
    const int qtId = startTimer(milliseconds);
    if (qtId == 0) return false;
    m_timers[id] = Timer{qtId, milliseconds};
    return true;
}

void TemplateDialog::KillTimer(int id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end()) return;
    killTimer(found->second.qtId);
    m_timers.erase(found);
}

bool TemplateDialog::HasTimer(int id) const { return m_timers.count(id) != 0; }

int TemplateDialog::TimerInterval(int id) const {
    const auto found = m_timers.find(id);
    return found != m_timers.end() ? found->second.milliseconds : 0;
}

void TemplateDialog::KillAllTimers() {
    for (const auto& [id, timer] : m_timers) killTimer(timer.qtId);
    m_timers.clear();
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

void TemplateDialog::MapCommand(int id, std::function<void()> handler) { m_commandMap[id] = std::move(handler); }

void TemplateDialog::setVisible(bool visible) {
    bool focusFirst = false;
    if (visible && !m_initialised) {
        m_initialised = true;
        focusFirst = OnInitDialog();
    }
    QDialog::setVisible(visible);
    if (focusFirst) FocusFirstTabStop();
}

void TemplateDialog::FocusFirstTabStop() {
    for (const auto& [widget, control] : m_controls) {
        if (control->Has(CF_TABSTOP) && widget->isEnabled() && widget->isVisibleTo(this) &&
            widget->focusPolicy() != Qt::NoFocus) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TemplateDialog::SetOwnerForModalRun() {
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

void TemplateDialog::accept() { SendCommand(IDOK); }

void TemplateDialog::reject() { SendCommand(IDCANCEL); }

bool TemplateDialog::event(QEvent* event) {
    if (event->type() == CommandEvent::Type()) {
        SendCommand(static_cast<CommandEvent*>(event)->CommandId());
        return true;
    }
    return QDialog::event(event);
}

void TemplateDialog::timerEvent(QTimerEvent* event) {
    for (const auto& [id, timer] : m_timers) {
        if (timer.qtId == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QDialog::timerEvent(event);
}

void TemplateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) OnShowWindow(true);
}

void TemplateDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) OnShowWindow(false);
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
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
            SendCommand(IDOK);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void TemplateDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_units = DialogUnits::FromFont(font());
        ApplyGeometry();
    }
}

}  // namespace pelmora
