// What every back end's dialog does alike: the message map's defaults and the data exchange's entry.
#include "ui/TemplateDialog.h"

#include "ui/DataExchange.h"
#include "ui/DialogIds.h"

#include <string>
#include <utility>

namespace pelmora {

bool TemplateDialog::UpdateData(bool saveAndValidate) {
    DataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    return exchange.Ok();
}

DataExchange::DataExchange(TemplateDialog& dialog, bool saveAndValidate)
    : m_dialog(dialog), m_saving(saveAndValidate) {}

std::string DataExchange::TooLongMessage(int limit) {
    return limit == 1 ? "Enter no more than 1 character."
                      : "Enter no more than " + std::to_string(limit) + " characters.";
}

void TemplateDialog::SendCommand(int id) { OnCommand(id); }

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

bool TemplateDialog::OnSysCommand(int) { return false; }

void TemplateDialog::MapCommand(int id, std::function<void()> handler) { m_commandMap[id] = std::move(handler); }

}  // namespace pelmora
