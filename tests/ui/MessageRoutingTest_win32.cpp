// Commands, timers, the system menu, context menus, the show notification and the session's end reach the
// dialog's hooks through the real message loop.
#include "resources/ResourceIds.h"
#include "tests/ui/ScriptedDialog_win32.h"
#include "ui/TemplateDialog.h"
#include "ui/win32/SessionEnd.h"
#include "ui/win32/Win32DialogWindow.h"

#include "platform/Win32Headers_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelmora {
namespace {

constexpr int TICK_TIMER = 0;
constexpr int UNUSED_COMMAND = 1001;
constexpr int MENU_COMMAND = 0x0010;

// The wait dialog with a timer that clicks Cancel on the third tick.
class TickingDialog : public TemplateDialog {
public:
    TickingDialog() : TemplateDialog(IDD_WAIT_DIALOG) {
        MapCommand(UNUSED_COMMAND, [this] { events.push_back("command 1001"); });
    }

    std::vector<std::string> events;
    int ticks = 0;

protected:
    bool OnInitDialog() override {
        events.emplace_back(SetTimer(TICK_TIMER, 10) ? "timer" : "no timer");
        AppendSystemMenuItem(MENU_COMMAND, "&About...");
        PostCommand(UNUSED_COMMAND);
        return TemplateDialog::OnInitDialog();
    }
    void OnShowWindow(bool shown) override {
        if (shown) events.emplace_back("shown");
    }
    void OnTimer(int id) override {
        if (id != TICK_TIMER || ++ticks != 3) return;
        events.emplace_back(TimerInterval(TICK_TIMER) == 10 ? "third tick" : "third tick, wrong period");
        // The menu item as the system menu sends it: the low four bits are the system's.
        SendMessageW(Window().Handle(), WM_SYSCOMMAND, MENU_COMMAND | 0x3, 0);
        SendMessageW(Window().Control(IDCANCEL), BM_CLICK, 0, 0);
    }
    bool OnSysCommand(int id) override {
        wchar_t text[32] = {};
        GetMenuStringW(GetSystemMenu(Window().Handle(), FALSE), static_cast<UINT>(id), text, 32, MF_BYCOMMAND);
        events.emplace_back(id == MENU_COMMAND && std::wstring(text) == L"&About..." ? "about" : "wrong menu item");
        return true;
    }
    void OnCancel() override {
        events.emplace_back("cancel");
        TemplateDialog::OnCancel();
    }
};

TEST(MessageRoutingTest, TimerCommandsSystemMenuAndShowReachTheHooks) {
    TickingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.RunEnded());
    // The dialog manager shows a template without WS_VISIBLE once its queue is empty, so the posted
    // command may come before or after the show.
    ASSERT_EQ(dialog.events.size(), 6U);
    std::sort(dialog.events.begin() + 1, dialog.events.begin() + 3);
    EXPECT_EQ(dialog.events,
              (std::vector<std::string>{"timer", "command 1001", "shown", "third tick", "about", "cancel"}));
    EXPECT_FALSE(dialog.HasTimer(TICK_TIMER));
}

constexpr int COPY_COMMAND = 2001;
constexpr int REMOVE_COMMAND = 2002;

// Ends a menu that the keys posted for it did not end, so that a fault fails the test rather than hanging it.
void CALLBACK EndStuckMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EndMenu();
}

TEST(MessageRoutingTest, ContextMenuCommandReachesOnCommandUnlessGreyed) {
    std::vector<int> commands;
    test::ScriptedDialog dialog(IDD_MAIN_DIALOG, [&](test::ScriptedDialog& self) {
        self.MapCommand(COPY_COMMAND, [&] { commands.push_back(COPY_COMMAND); });
        self.MapCommand(REMOVE_COMMAND, [&] { commands.push_back(REMOVE_COMMAND); });
        self.AppendContextMenuItem(IDC_DEVICE_LIST, COPY_COMMAND, "&Copy");
        self.AppendContextMenuItem(IDC_DEVICE_LIST, REMOVE_COMMAND, "&Remove");
        // Again, as OnInitDialog does at a second run: still one item.
        self.AppendContextMenuItem(IDC_DEVICE_LIST, REMOVE_COMMAND, "&Remove");
        self.EnableMenuCommand(REMOVE_COMMAND, false);
        EXPECT_FALSE(self.IsMenuCommandEnabled(REMOVE_COMMAND));

        Win32DialogWindow& window = self.Window();
        HMENU menu = window.BuildContextMenu(IDC_DEVICE_LIST);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(GetMenuItemCount(menu), 2);
        EXPECT_EQ(GetMenuState(menu, COPY_COMMAND, MF_BYCOMMAND) & MF_GRAYED, 0U);
        EXPECT_NE(GetMenuState(menu, REMOVE_COMMAND, MF_BYCOMMAND) & MF_GRAYED, 0U);
        DestroyMenu(menu);
        EXPECT_EQ(window.BuildContextMenu(IDC_REFRESH_BUTTON), nullptr);
        EXPECT_FALSE(window.ChooseMenuCommand(REMOVE_COMMAND));

        // The menu opened from the keyboard as the list asks for it, its first item chosen with keys.
        HWND handle = window.Handle();
        ShowWindow(handle, SW_SHOW);
        SetTimer(nullptr, 0, 5000, EndStuckMenu);
        PostMessageW(handle, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(handle, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageW(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.Control(IDC_DEVICE_LIST)),
                     MAKELPARAM(-1, -1));
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(commands, std::vector<int>{COPY_COMMAND});
}

// A handler's exception ends the run and comes out of DoModal, not through the dialog manager.
TEST(MessageRoutingTest, AnExceptionFromAHandlerLeavesThroughDoModal) {
    test::ScriptedDialog dialog(IDD_ABOUTBOX,
                                [](test::ScriptedDialog&) { throw std::runtime_error("from a handler"); });
    EXPECT_THROW(dialog.DoModal(), std::runtime_error);
    test::ScriptedDialog again(IDD_ABOUTBOX, [](test::ScriptedDialog&) {});
    EXPECT_EQ(again.DoModal(), 1) << "the next run is not disturbed";
}

// The session's end runs the action in the dialog's answer to WM_ENDSESSION, once; a cancelled end does not.
TEST(MessageRoutingTest, TheEndOfTheSessionRunsTheActionOnce) {
    int runs = 0;
    WhenSessionEnds([&runs] { ++runs; });
    test::ScriptedDialog dialog(IDD_ABOUTBOX, [&runs](test::ScriptedDialog& self) {
        HWND window = self.Window().Handle();
        SendMessageW(window, WM_ENDSESSION, FALSE, 0);
        EXPECT_EQ(runs, 0);
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    });
    dialog.DoModal();
    EXPECT_EQ(runs, 1);
    WhenSessionEnds(nullptr);
}

}  // namespace
}  // namespace pelmora
