// A nested dialog is owned by, and disables, the innermost running dialog of the program, whichever window
// is active when it opens: another window of the program, or none while the program is in the background.
#include "resources/ResourceIds.h"
#include "tests/ui/ScriptedDialog_win32.h"
#include "ui/win32/Win32DialogWindow.h"

#include "platform/Win32Headers_win32.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(DialogOwnerTest, ANestedDialogIsOwnedByTheRunningDialogNotTheActiveWindow) {
    const struct {
        const char* what;
        bool otherWindowActive;  // else no window of the program is active
    } cases[] = {{"another window of the program active", true}, {"the program in the background", false}};
    for (const auto& c : cases) {
        HWND outerWindow = nullptr;
        HWND nestedOwner = nullptr;
        bool outerEnabledDuringNested = true;
        test::ScriptedDialog outer(IDD_MAIN_DIALOG, [&](test::ScriptedDialog& self) {
            outerWindow = self.Window().Handle();
            HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
            ASSERT_NE(other, nullptr);
            if (c.otherWindowActive) {
                SetActiveWindow(other);
                ASSERT_EQ(GetActiveWindow(), other) << c.what;
            } else {
                // What the thread sees when another program's window is in front.
                SetActiveWindow(nullptr);
                ASSERT_EQ(GetActiveWindow(), nullptr) << c.what;
            }
            test::ScriptedDialog nested(IDD_WAIT_DIALOG, [&](test::ScriptedDialog& inner) {
                nestedOwner = GetWindow(inner.Window().Handle(), GW_OWNER);
                outerEnabledDuringNested = IsWindowEnabled(outerWindow) != FALSE;
                EXPECT_EQ(InnermostRunningDialog(), inner.Window().Handle());
            });
            nested.DoModal();
            EXPECT_EQ(InnermostRunningDialog(), outerWindow) << c.what;
            EXPECT_NE(IsWindowEnabled(outerWindow), FALSE) << "enabled again after the nested run: " << c.what;
            DestroyWindow(other);
        });
        outer.DoModal();
        EXPECT_EQ(nestedOwner, outerWindow) << c.what;
        EXPECT_FALSE(outerEnabledDuringNested) << c.what;
        EXPECT_EQ(InnermostRunningDialog(), nullptr) << c.what;
    }
}

}  // namespace
}  // namespace pelmora
