#include "ui/DataExchange.h"

#include "ui/IpAddressCtrl.h"
#include "ui/TemplateDialog.h"
#include "ui/TextLimit.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>

namespace pelmora {

DataExchange::DataExchange(TemplateDialog& dialog, bool saveAndValidate)
    : m_dialog(dialog), m_saving(saveAndValidate) {}

QWidget* DataExchange::ControlWidget(int id) const { return m_dialog.Control(id); }

QString DataExchange::TooLongMessage(int limit) {
    return limit == 1 ? QStringLiteral("Enter no more than 1 character.")
                      : QStringLiteral("Enter no more than %1 characters.").arg(limit);
}

void DataExchange::Fail(int id, QWidget* control, const QString& message) {
    m_failed = true;
    m_failedControl = id;
    if (!message.isEmpty()) {
        QMessageBox::warning(&m_dialog, QGuiApplication::applicationDisplayName(), message);
        // Back to the dialog, as when a message box's owner gets the activation back.
        if (m_dialog.isVisible()) m_dialog.activateWindow();
    }
    if (control != nullptr) {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
    }
}

void DataExchange::Text(int id, QString& member, int limit) {
    if (m_failed) return;
    auto* edit = qobject_cast<QLineEdit*>(ControlWidget(id));
    if (edit == nullptr) {
        qWarning("data exchange: control %d is not an edit control", id);
        Fail(id, nullptr, {});
        return;
    }
    if (!m_saving) {
        SetLimitedText(edit, member, limit);
        return;
    }
    const QString text = edit->text();
    if (limit > 0 && CharacterCount(text) > limit) {
        Fail(id, edit, TooLongMessage(limit));
        return;
    }
    member = text;
}

void DataExchange::Check(int id, int& member) {
    if (m_failed) return;
    auto* box = qobject_cast<QCheckBox*>(ControlWidget(id));
    if (box == nullptr) {
        qWarning("data exchange: control %d is not a check box", id);
        Fail(id, nullptr, {});
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
    auto* address = qobject_cast<IpAddressCtrl*>(ControlWidget(id));
    if (address == nullptr) {
        qWarning("data exchange: control %d is not an IP address control", id);
        Fail(id, nullptr, {});
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
