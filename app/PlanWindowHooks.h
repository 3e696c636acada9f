#pragma once
// What the main window's "Apply plan..." asks of the system, injected so that tests need neither a
// file dialog nor the wait's real seconds: the plan file to open, and the wait while devices restart.
#include <functional>
#include <string>

namespace pelmora {

class TemplateDialog;

struct PlanWindowHooks {
    // The plan file, given the window; empty when the user cancelled.
    std::function<std::string(TemplateDialog& owner)> choosePlanFile;
    // The wait dialog for `seconds`; false when it was cancelled.
    std::function<bool(int seconds)> waitForRestart;
};

// The system's Open dialog for CSV files and the edit's own wait dialog.
PlanWindowHooks PlanWindowHooksWithDialogs();

}  // namespace pelmora
