// Commands, timers, the system menu and the show notification reach the dialog's hooks through the real message loop.
#include "resources/ResourceIds.h"
#include "ui/TemplateDialog_win32.h"

#include "ui/Win32Headers_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        SendMessageW(Window(), WM_SYSCOMMAND, MENU_COMMAND | 0x3, 0);
        SendMessageW(Control(IDCANCEL), BM_CLICK, 0, 0);
    }
    bool OnSysCommand(int id) override {
        wchar_t text[32] = {};
        GetMenuStringW(GetSystemMenu(Window(), FALSE), static_cast<UINT>(id), text, 32, MF_BYCOMMAND);
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

}  // namespace
}  // namespace pelmora
