// Every dialog template, compiled into the resource script, made into a dialog by the dialog manager:
// each control of the template files is there, in template order, with its ID and window class.
#include "resources/ResourceIds.h"
#include "tests/ui/ScriptedDialog_win32.h"
#include "ui/Feedback.h"
#include "ui/win32/Win32DialogWindow.h"
#include "ui/win32/WindowClass.h"

#include "TemplateControls.h"
#include "platform/Win32Headers_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace pelmora {
namespace {

// The window class each kind of the template files must become.
std::wstring ClassOfKind(const char* kind) {
    const std::pair<const char*, const wchar_t*> classes[] = {
        {"pushbutton", L"Button"},
        {"defpushbutton", L"Button"},
        {"checkbox", L"Button"},
        {"groupbox", L"Button"},
        {"edit", L"Edit"},
        {"readonlyedit", L"Edit"},
        {"label", L"Static"},
        {"icon", L"Static"},
        {"listview", L"SysListView32"},
        {"ipaddress", L"SysIPAddress32"},
        {"progress", L"msctls_progress32"},
    };
    for (const auto& [name, windowClass] : classes) {
        if (std::strcmp(name, kind) == 0) return windowClass;
    }
    return L"?";
}

struct Child {
    int id;
    std::wstring windowClass;
    bool operator==(const Child& other) const {
        return id == other.id &&
               CompareStringOrdinal(windowClass.c_str(), -1, other.windowClass.c_str(), -1, TRUE) == CSTR_EQUAL;
    }
};

void PrintTo(const Child& child, std::ostream* out) {
    *out << child.id << " " << std::string(child.windowClass.begin(), child.windowClass.end());
}

std::vector<Child> ChildrenInOrder(HWND dialog) {
    std::vector<Child> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back({GetDlgCtrlID(child), WindowClassName(child)});
    }
    return children;
}

class TemplatesTest : public ::testing::TestWithParam<int> {};

TEST_P(TemplatesTest, EveryControlOfTheTemplateIsThereWithItsIdAndClass) {
    const int templateId = GetParam();
    std::vector<Child> expected;
    for (const test::TemplateControl& control : test::TEMPLATE_CONTROLS) {
        if (control.templateId == templateId) expected.push_back({control.id, ClassOfKind(control.kind)});
    }
    ASSERT_FALSE(expected.empty());

    bool ran = false;
    test::ScriptedDialog dialog(templateId, [&](test::ScriptedDialog& self) {
        ran = true;
        EXPECT_EQ(ChildrenInOrder(self.Window().Handle()), expected);
        for (const Child& child : expected) {
            if (child.id == IDC_STATIC) continue;
            EXPECT_EQ((Child{child.id, WindowClassName(self.Window().Control(child.id))}), child);
        }
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_TRUE(ran);
    EXPECT_EQ(dialog.Window().Handle(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(AllTemplates, TemplatesTest,
                         ::testing::Values(IDD_ABOUTBOX, IDD_MAIN_DIALOG, IDD_EDIT_DIALOG, IDD_WAIT_DIALOG));

TEST(TemplateDialogTest, UnknownTemplateRunsNothing) {
    bool ran = false;
    test::ScriptedDialog dialog(4242, [&](test::ScriptedDialog&) { ran = true; });
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(ran);
}

TEST(ResourcesTest, StringTableAndCommonControls6) {
    EXPECT_EQ(ResourceString(IDS_SOCKETS_INIT_FAILED), "Windows sockets initialization failed.");
    EXPECT_EQ(ResourceString(4242), "");
    // The manifest's dependency on Common Controls 6 took effect: only their buttons know their ideal size.
    test::ScriptedDialog dialog(IDD_ABOUTBOX, [](test::ScriptedDialog& self) {
        SIZE size{};
        EXPECT_EQ(SendMessageW(self.Window().Control(IDOK), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)),
                  TRUE);
        EXPECT_GT(size.cx, 0);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
}

}  // namespace
}  // namespace pelmora
