// Data exchange on the edit dialog's real controls: texts (UTF-8 in, UTF-16 in the control), limits
// and the failed save, check boxes and the IP address control, blank, partly and fully filled.
#include "resources/ResourceIds.h"
#include "tests/ui/ScriptedDialog_win32.h"
#include "ui/win32/Win32IpAddressCtrl.h"

#include "platform/Win32Headers_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {
namespace {

struct Members {
    std::string name;
    std::string mac;
    int dhcp = 0;
    std::uint32_t address = 0;
    std::uint32_t mask = 0;

    void Exchange(DataExchange& exchange) {
        exchange.Check(IDC_DHCP, dhcp);
        exchange.Text(IDC_NAME, name, 32);
        exchange.Text(IDC_MAC_TEXT, mac);
        exchange.IpAddress(IDC_ADDRESS, address);
        exchange.IpAddress(IDC_SUBNET_MASK, mask);
    }
};

TEST(DataExchangeTest, MembersGoToTheControlsAndComeBack) {
    Members members;
    members.name =
        "Kessel \xC2\xB0"
        "C Geb\xC3\xA4ude \xE6\xB8\xA9\xE5\xBA\xA6";  // "Kessel °C Gebäude 温度"
    members.mac = "02:00:00:00:00:01";
    members.dhcp = 1;
    members.address = 0xC0A85C28;  // 192.168.92.40
    members.mask = 0xFFFFFF00;
    const Members shown = members;

    test::ScriptedDialog dialog(
        IDD_EDIT_DIALOG,
        [&](test::ScriptedDialog& self) {
        wchar_t text[64] = {};
        GetWindowTextW(self.Window().Control(IDC_NAME), text, 64);
        EXPECT_STREQ(text, L"Kessel \u00B0C Geb\u00E4ude \u6E29\u5EA6");
        EXPECT_EQ(SendMessageW(self.Window().Control(IDC_DHCP), BM_GETCHECK, 0, 0), BST_CHECKED);

        members = Members{};
        ASSERT_TRUE(self.UpdateData(true));
        EXPECT_EQ(members.name, shown.name);
        EXPECT_EQ(members.mac, shown.mac);
        EXPECT_EQ(members.dhcp, 1);
        EXPECT_EQ(members.address, shown.address);
        EXPECT_EQ(members.mask, shown.mask);
        },
        [&](DataExchange& exchange) { members.Exchange(exchange); });
    EXPECT_EQ(dialog.DoModal(), 1);
}

// What the message box owned by `owner` said; the box is closed with OK. For a thread timer, which
// the message box's own loop dispatches.
HWND g_messageOwner = nullptr;
std::wstring g_message;

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            if (GetWindow(window, GW_OWNER) != g_messageOwner) return TRUE;
            wchar_t text[128] = {};
            GetDlgItemTextW(window, 0xFFFF, text, 128);  // a message box's text has ID 0xFFFF
            g_message = text;
            PostMessageW(window, WM_COMMAND, IDOK, 0);
            return FALSE;
        },
        0);
    if (!g_message.empty()) KillTimer(nullptr, timer);
}

TEST(DataExchangeTest, TextOverItsLimitStopsTheSaveWithTheMessageAndTheFocusThere) {
    Members members;
    members.name = std::string(33, 'x');
    members.mac = "02:00:00:00:00:01";
    test::ScriptedDialog dialog(
        IDD_EDIT_DIALOG,
        [&](test::ScriptedDialog& self) {
        ShowWindow(self.Window().Handle(), SW_SHOW);
        SendMessageW(self.Window().Control(IDC_DHCP), BM_SETCHECK, BST_CHECKED, 0);
        members.mac = "not exchanged";
        g_messageOwner = self.Window().Handle();
        SetTimer(nullptr, 0, 20, CloseMessageBox);

        DataExchange exchange(self, true);
        members.Exchange(exchange);
        EXPECT_TRUE(exchange.Failed());
        EXPECT_EQ(exchange.FailedControl(), IDC_NAME);
        EXPECT_EQ(g_message, L"Enter no more than 32 characters.");
        EXPECT_EQ(GetFocus(), self.Window().Control(IDC_NAME));
        EXPECT_EQ(members.dhcp, 1);
        EXPECT_EQ(members.mac, "not exchanged");
        },
        [&](DataExchange& exchange) { members.Exchange(exchange); });
    EXPECT_EQ(dialog.DoModal(), 1);
}

// The four field edits of an IP address control, first octet first.
std::vector<HWND> Fields(HWND control) {
    std::vector<HWND> fields;
    for (HWND field = GetWindow(control, GW_CHILD); field != nullptr; field = GetWindow(field, GW_HWNDNEXT)) {
        fields.push_back(field);
    }
    std::sort(fields.begin(), fields.end(), [](HWND a, HWND b) {
        RECT left{};
        RECT right{};
        GetWindowRect(a, &left);
        GetWindowRect(b, &right);
        return left.left < right.left;
    });
    return fields;
}

TEST(IpAddressCtrlTest, BlankPartlyAndFullyFilled) {
    Members members;
    members.address = 0x0A010203;
    test::ScriptedDialog dialog(
        IDD_EDIT_DIALOG,
        [&](test::ScriptedDialog& self) {
        std::uint32_t value = 1;
        EXPECT_FALSE(self.IsAddressBlank(IDC_ADDRESS));
        EXPECT_EQ(self.GetAddress(IDC_ADDRESS, value), 4);
        EXPECT_EQ(value, 0x0A010203U);

        Win32IpAddressCtrl(self.Window().Control(IDC_ADDRESS)).ClearAddress();
        EXPECT_TRUE(self.IsAddressBlank(IDC_ADDRESS));
        EXPECT_EQ(self.GetAddress(IDC_ADDRESS, value), 0);
        EXPECT_EQ(value, 0U);

        const std::vector<HWND> fields = Fields(self.Window().Control(IDC_ADDRESS));
        ASSERT_EQ(fields.size(), 4U);
        SetWindowTextW(fields[0], L"172");
        SetWindowTextW(fields[2], L"5");
        EXPECT_FALSE(self.IsAddressBlank(IDC_ADDRESS));
        EXPECT_EQ(self.GetAddress(IDC_ADDRESS, value), 2);
        EXPECT_EQ(value, 0xAC000500U);
        // Not an address control: nothing filled, nothing read.
        EXPECT_EQ(self.GetAddress(IDC_NAME, value), 0);
        EXPECT_EQ(value, 0U);

        // Blank fields save as 0.
        ASSERT_TRUE(self.UpdateData(true));
        EXPECT_EQ(members.address, 0xAC000500U);
        EXPECT_EQ(members.mask, 0U);
        },
        [&](DataExchange& exchange) { members.Exchange(exchange); });
    EXPECT_EQ(dialog.DoModal(), 1);
}

}  // namespace
}  // namespace pelmora
