#pragma once
// A template dialog that records which of its hooks ran, for the framework's own tests.
#include "ui/TemplateDialog.h"
#include "ui/qt/QtDialogWindow.h"

#include <vector>

namespace pelmora::test {

class RecordingDialog : public TemplateDialog {
public:
    using TemplateDialog::MapCommand;
    using TemplateDialog::TemplateDialog;

    std::vector<int> commands;
    std::vector<int> timers;
    std::vector<bool> shows;
    int initCount = 0;
    bool visibleDuringInit = true;
    bool keepOpenOnCancel = false;

protected:
    bool OnInitDialog() override {
        ++initCount;
        visibleDuringInit = Window().isVisible();
        return TemplateDialog::OnInitDialog();
    }
    bool OnCommand(int id) override {
        commands.push_back(id);
        return TemplateDialog::OnCommand(id);
    }
    void OnCancel() override {
        if (!keepOpenOnCancel) TemplateDialog::OnCancel();
    }
    void OnTimer(int id) override { timers.push_back(id); }
    void OnShowWindow(bool shown) override { shows.push_back(shown); }
};

}  // namespace pelmora::test
