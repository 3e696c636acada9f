#pragma once
// A template dialog that runs a test's steps once its window and controls exist (inside
// WM_INITDIALOG), then ends with IDOK unless the steps ended it. gtest assertions in the steps work as
// anywhere else; the modal run returns after them.
#include "ui/DataExchange.h"
#include "ui/TemplateDialog.h"
#include "ui/win32/Win32DialogWindow.h"

#include <functional>
#include <utility>

namespace pelmora::test {

class ScriptedDialog : public TemplateDialog {
public:
    using Steps = std::function<void(ScriptedDialog&)>;
    using Exchange = std::function<void(DataExchange&)>;

    ScriptedDialog(int templateId, Steps steps, Exchange exchange = {})
        : TemplateDialog(templateId), m_steps(std::move(steps)), m_exchange(std::move(exchange)) {}

    using TemplateDialog::MapCommand;

protected:
    bool OnInitDialog() override {
        const bool focus = TemplateDialog::OnInitDialog();
        m_steps(*this);
        if (!RunEnded()) EndDialog(1);
        return focus;
    }
    void DoDataExchange(DataExchange& exchange) override {
        if (m_exchange) m_exchange(exchange);
    }

private:
    Steps m_steps;
    Exchange m_exchange;
};

}  // namespace pelmora::test
