#include "ui/DataExchange.h"

#include "ui/TemplateDialog.h"
#include "ui/qt/QtDialogWindow.h"
#include "ui/qt/QtIpAddressCtrl.h"
#include "ui/qt/TextLimit.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>

namespace pelmora {

void DataExchange::Fail(int id, const std::string& message) {
    m_failed = true;
    m_failedControl = id;
    if (message.empty()) return;
    QtDialogWindow& window = m_dialog.Window();
    QMessageBox::warning(&window, QGuiApplication::applicationDisplayName(), QString::fromStdString(message));
    // Back to the dialog, as when a message box's owner gets the activation back.
    if (window.isVisible()) window.activateWindow();
    if (QWidget* control = window.Control(id)) {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
    }
}

void DataExchange::Text(int id, std::string& member, int limit) {
    if (m_failed) return;
    auto* edit = m_dialog.Window().ControlAs<QLineEdit>(id);
    if (edit == nullptr) {
        qWarning("data exchange: control %d is not an edit control", id);
        Fail(id, {});
        return;
    }
    if (!m_saving) {
        SetLimitedText(edit, QString::fromStdString(member), limit);
        return;
    }
    const QString text = edit->text();
    if (limit > 0 && CharacterCount(text) > limit) {
        Fail(id, TooLongMessage(limit));
        return;
    }
    member = text.toStdString();
}

void DataExchange::Check(int id, int& member) {
    if (m_failed) return;
    auto* box = m_dialog.Window().ControlAs<QCheckBox>(id);
    if (box == nullptr) {
        qWarning("data exchange: control %d is not a check box", id);
        Fail(id, {});
        return;
    }
    if (m_saving) {
        member = box->isChecked() ? 1 : 0;
    } else {
        box->setChecked(member != 0);
    }
}

void DataExchange::IpAddress(int id, std::uint32_t& member) {
    if (m_failed) return;
    auto* address = m_dialog.Window().ControlAs<QtIpAddressCtrl>(id);
    if (address == nullptr) {
        qWarning("data exchange: control %d is not an IP address control", id);
        Fail(id, {});
        return;
    }
    if (m_saving) {
        std::uint32_t value = 0;
        address->GetAddress(value);
        member = value;
    } else {
        address->SetAddress(member);
    }
}

}  // namespace pelmora
