#pragma once
// The end of the Windows session (log-off, shut-down, restart) while a dialog runs. Once every window
// has answered WM_ENDSESSION, the system may end the process at any moment: no modal run returns and no
// destructor runs. What must not be skipped is given here; the dialog procedure runs it in that answer.
#include <functional>

namespace pelmora {

// Sets the action (an empty function: none).
void WhenSessionEnds(std::function<void()> action);
// Runs the action once; later calls do nothing until an action is set again.
void RunSessionEndAction();

}  // namespace pelmora
