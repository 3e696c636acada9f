// TemplateDialog on Qt widgets: the members that touch the window, over QtDialogWindow.
#include "ui/TemplateDialog.h"

#include "ui/qt/QtDialogWindow.h"
#include "ui/qt/QtIpAddressCtrl.h"
#include "ui/qt/QtReportList.h"

#include <QtCore/QDir>
#include <QtGui/QAction>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QProgressBar>

namespace pelmora {

namespace {

QString ToQString(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

TemplateDialog::TemplateDialog(int templateId)
    : m_templateId(templateId), m_window(std::make_unique<BackEndWindow>(*this, templateId)) {}

TemplateDialog::~TemplateDialog() = default;

int TemplateDialog::DoModal() { return m_window->DoModal(); }

void TemplateDialog::EndDialog(int result) { m_window->EndDialog(result); }

bool TemplateDialog::HasControl(int id) const { return m_window->Control(id) != nullptr; }

void TemplateDialog::EnableControl(int id, bool enable) { m_window->EnableControl(id, enable); }

bool TemplateDialog::IsControlEnabled(int id) const {
    const QWidget* control = m_window->Control(id);
    return control != nullptr && control->isEnabled();
}

bool TemplateDialog::IsChecked(int id) const {
    const auto* box = m_window->ControlAs<QCheckBox>(id);
    return box != nullptr && box->isChecked();
}

int TemplateDialog::GetAddress(int id, std::uint32_t& address) const {
    address = 0;
    const auto* control = m_window->ControlAs<QtIpAddressCtrl>(id);
    return control != nullptr ? control->GetAddress(address) : 0;
}

bool TemplateDialog::IsAddressBlank(int id) const {
    const auto* control = m_window->ControlAs<QtIpAddressCtrl>(id);
    return control == nullptr || control->IsBlank();
}

void TemplateDialog::SetAddress(int id, std::uint32_t address) {
    if (auto* control = m_window->ControlAs<QtIpAddressCtrl>(id)) control->SetAddress(address);
}

void TemplateDialog::SetProgressRange(int id, int lower, int upper) {
    if (auto* bar = m_window->ControlAs<QProgressBar>(id)) bar->setRange(lower, upper);
}

void TemplateDialog::SetProgressPos(int id, int position) {
    if (auto* bar = m_window->ControlAs<QProgressBar>(id)) bar->setValue(position);
}

ReportList* TemplateDialog::List(int id) const { return m_window->ControlAs<QtReportList>(id); }

void TemplateDialog::PostCommand(int id) { m_window->PostCommand(id); }

bool TemplateDialog::SetTimer(int id, int milliseconds) { return m_window->SetTimer(id, milliseconds); }

void TemplateDialog::KillTimer(int id) { m_window->KillTimer(id); }

bool TemplateDialog::HasTimer(int id) const { return m_window->HasTimer(id); }

int TemplateDialog::TimerInterval(int id) const { return m_window->TimerInterval(id); }

bool TemplateDialog::AppendSystemMenuItem(int id, const std::string& text) {
    return m_window->AppendSystemMenuItem(id, ToQString(text));
}

void TemplateDialog::AppendContextMenuItem(int controlId, int commandId, const std::string& text) {
    m_window->AppendContextMenuItem(controlId, commandId, ToQString(text));
}

void TemplateDialog::EnableMenuCommand(int commandId, bool enable) {
    if (QAction* action = m_window->MenuAction(commandId)) action->setEnabled(enable);
}

bool TemplateDialog::IsMenuCommandEnabled(int commandId) const {
    const QAction* action = m_window->MenuAction(commandId);
    return action != nullptr && action->isEnabled();
}

std::string TemplateDialog::ChooseSaveFile(const std::string& title, const std::string& suggestedName,
                                           const std::string& filterName, const std::string& filterPattern) const {
    const QString filter =
        QStringLiteral("%1 (%2);;All files (*)").arg(ToQString(filterName), ToQString(filterPattern));
    const QString path = QFileDialog::getSaveFileName(m_window.get(), ToQString(title),
                                                      QDir::home().filePath(ToQString(suggestedName)), filter);
    return path.toStdString();
}

}  // namespace pelmora
