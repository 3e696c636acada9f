#include "ui/win32/SessionEnd.h"

#include <utility>

namespace pelmora {

namespace {

// Set and run on the thread of the dialogs.
std::function<void()>& Action() {
    static std::function<void()> action;
    return action;
}

}  // namespace

void WhenSessionEnds(std::function<void()> action) { Action() = std::move(action); }

void RunSessionEndAction() {
    const std::function<void()> action = std::exchange(Action(), nullptr);
    if (action) action();
}

}  // namespace pelmora
