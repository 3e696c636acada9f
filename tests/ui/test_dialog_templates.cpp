// The templates, strings and icon as data: what the dialogs are built from.
#include "resources/ResourceIds.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/DialogResource.h"
#include "ui/qt/StringTable.h"

#include <QtGui/QImage>

#include <gtest/gtest.h>

#include <vector>

namespace pelmora {
namespace {

DialogResource Load(int id) {
    QString error;
    auto loaded = LoadDialogResource(id, &error);
    EXPECT_TRUE(loaded.has_value()) << id << ": " << error.toStdString();
    return loaded.value_or(DialogResource{});
}

struct Expected {
    int id;
    ControlKind kind;
    const char* caption;
    QRect rect;
};

void ExpectControls(const DialogResource& dialog, const std::vector<Expected>& expected) {
    // Static controls (IDC_STATIC) are matched by caption, the others by ID.
    for (const Expected& want : expected) {
        const ControlTemplate* found = nullptr;
        for (const ControlTemplate& control : dialog.controls) {
            if (control.id == want.id &&
                (want.id != IDC_STATIC || control.caption == QString::fromUtf8(want.caption))) {
                found = &control;
                break;
            }
        }
        ASSERT_NE(found, nullptr) << dialog.id << ": control " << want.id << " \"" << want.caption << "\"";
        EXPECT_EQ(found->kind, want.kind) << want.id << " " << want.caption;
        EXPECT_EQ(found->caption, QString::fromUtf8(want.caption)) << want.id;
        EXPECT_EQ(found->rect, want.rect) << want.id << " " << want.caption;
    }
}

std::vector<int> TabStops(const DialogResource& dialog) {
    std::vector<int> ids;
    for (const ControlTemplate& control : dialog.controls) {
        if (control.Has(CF_TABSTOP)) ids.push_back(control.id);
    }
    return ids;
}

TEST(DialogTemplates, MainWindowTemplate102) {
    const DialogResource dialog = Load(IDD_MAIN_DIALOG);
    EXPECT_EQ(dialog.title, QStringLiteral("Pelmora configuration software"));
    EXPECT_EQ(dialog.size, QSize(414, 223));
    EXPECT_TRUE(dialog.fixedSize);
    EXPECT_TRUE(dialog.systemMenu);
    EXPECT_TRUE(dialog.appWindow);
    ExpectControls(dialog, {
                               {1110, ControlKind::ListView, "", QRect(7, 7, 400, 189)},
                               {1126, ControlKind::DefaultPushButton, "Edit...", QRect(7, 202, 50, 14)},
                               {1108, ControlKind::PushButton, "Refresh", QRect(63, 202, 50, 14)},
                               {1118, ControlKind::PushButton, "Wink", QRect(119, 202, 50, 14)},
                           });
    EXPECT_EQ(TabStops(dialog), (std::vector<int>{1110, 1126, 1108, 1118}));
    const ControlTemplate* list = dialog.Find(IDC_DEVICE_LIST);
    ASSERT_NE(list, nullptr);
    for (const ControlFlag flag : {CF_REPORT, CF_SINGLESEL, CF_SHOWSELALWAYS, CF_NOSORTHEADER, CF_BORDER}) {
        EXPECT_TRUE(list->Has(flag)) << flag;
    }
}

TEST(DialogTemplates, AboutBoxTemplate100) {
    const DialogResource dialog = Load(IDD_ABOUTBOX);
    EXPECT_EQ(dialog.title, QStringLiteral("About"));
    EXPECT_EQ(dialog.size, QSize(231, 34));
    EXPECT_FALSE(dialog.appWindow);
    ASSERT_EQ(dialog.controls.size(), 4u);
    EXPECT_EQ(dialog.controls[0].kind, ControlKind::Icon);
    EXPECT_EQ(dialog.controls[0].iconId, IDR_MAINFRAME);
    EXPECT_EQ(dialog.controls[0].rect.topLeft(), QPoint(7, 7));
    EXPECT_EQ(dialog.controls[1].caption, QStringLiteral("Pelmora configuration software"));
    EXPECT_EQ(dialog.controls[1].rect, QRect(33, 7, 119, 8));
    EXPECT_TRUE(dialog.controls[1].Has(CF_NOPREFIX));
    EXPECT_EQ(dialog.controls[2].kind, ControlKind::Label);
    EXPECT_FALSE(dialog.controls[2].caption.isEmpty());
    EXPECT_EQ(dialog.controls[2].rect, QRect(33, 17, 119, 8));
    ExpectControls(dialog, {{IDOK, ControlKind::DefaultPushButton, "OK", QRect(174, 7, 50, 14)}});
}

TEST(DialogTemplates, EditDialogTemplate134) {
    const DialogResource dialog = Load(IDD_EDIT_DIALOG);
    EXPECT_EQ(dialog.title, QStringLiteral("Edit"));
    EXPECT_EQ(dialog.size, QSize(292, 311));
    EXPECT_FALSE(dialog.appWindow);
    ExpectControls(dialog, {
                               {1112, ControlKind::CheckBox, "DHCP", QRect(18, 41, 34, 10)},
                               {1113, ControlKind::IpAddress, "", QRect(66, 54, 100, 15)},
                               {1115, ControlKind::IpAddress, "", QRect(174, 54, 100, 15)},
                               {1114, ControlKind::IpAddress, "", QRect(66, 84, 100, 15)},
                               {1116, ControlKind::IpAddress, "", QRect(174, 84, 100, 15)},
                               {1117, ControlKind::Edit, "", QRect(18, 144, 66, 14)},
                               {1118, ControlKind::Edit, "", QRect(18, 174, 66, 14)},
                               {1121, ControlKind::Edit, "", QRect(18, 204, 66, 14)},
                               {1120, ControlKind::Edit, "", QRect(96, 144, 66, 14)},
                               {1119, ControlKind::Edit, "", QRect(168, 144, 66, 14)},
                               {1128, ControlKind::CheckBox, "Foreign device", QRect(96, 174, 63, 10)},
                               {1129, ControlKind::Edit, "", QRect(96, 204, 138, 14)},
                               {1122, ControlKind::Edit, "", QRect(18, 258, 30, 14)},
                               {1123, ControlKind::Edit, "", QRect(54, 258, 30, 14)},
                               {1130, ControlKind::CheckBox, "Debug", QRect(96, 258, 37, 10)},
                               {IDOK, ControlKind::DefaultPushButton, "Save", QRect(6, 288, 63, 14)},
                               {IDCANCEL, ControlKind::PushButton, "Cancel", QRect(221, 288, 63, 14)},
                               {1111, ControlKind::ReadOnlyEdit, "", QRect(6, 6, 100, 14)},
                               {1126, ControlKind::ReadOnlyEdit, "", QRect(185, 7, 100, 14)},
                               {IDC_STATIC, ControlKind::GroupBox, "IP", QRect(6, 24, 279, 84)},
                               {IDC_STATIC, ControlKind::GroupBox, "BACnet", QRect(6, 114, 279, 114)},
                               {IDC_STATIC, ControlKind::GroupBox, "", QRect(6, 234, 279, 48)},
                           });
    // Labels: their place is fixed, their size is ours (one line high).
    const std::vector<std::pair<const char*, QPoint>> labels = {
        {"Address", {66, 42}},
        {"Gateway", {174, 42}},
        {"Subnet mask", {66, 72}},
        {"DNS", {174, 72}},
        {"Device ID", {18, 132}},
        {"Name", {18, 162}},
        {"UDP Port (47808)", {18, 192}},
        {"Location", {96, 132}},
        {"Description", {168, 132}},
        {"BBMD address ", {96, 192}},
        {"Station ( PLA:ELA )", {18, 246}},
    };
    for (const auto& [caption, position] : labels) {
        bool found = false;
        for (const ControlTemplate& control : dialog.controls) {
            if (control.kind == ControlKind::Label && control.caption == QString::fromUtf8(caption)) {
                found = true;
                EXPECT_EQ(control.id, IDC_STATIC) << caption;
                EXPECT_EQ(control.rect.topLeft(), position) << caption;
                EXPECT_EQ(control.rect.height(), 8) << caption;
            }
        }
        EXPECT_TRUE(found) << caption;
    }
    EXPECT_EQ(TabStops(dialog), (std::vector<int>{1112, 1113, 1115, 1114, 1116, 1117, 1118, 1121, 1120, 1119, 1128,
                                                  1129, 1122, 1123, 1130, IDOK, IDCANCEL, 1111, 1126}));
    for (const int edit : {1117, 1118, 1119, 1120, 1121, 1122, 1123, 1129, 1111, 1126}) {
        const ControlTemplate* control = dialog.Find(edit);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->Has(CF_BORDER) && control->Has(CF_AUTOHSCROLL)) << edit;
    }
}

TEST(DialogTemplates, WaitDialogTemplate135) {
    const DialogResource dialog = Load(IDD_WAIT_DIALOG);
    EXPECT_EQ(dialog.title, QStringLiteral("Wait..."));
    EXPECT_EQ(dialog.size, QSize(316, 52));
    ExpectControls(dialog, {
                               {IDCANCEL, ControlKind::PushButton, "Cancel", QRect(132, 24, 50, 14)},
                               {1127, ControlKind::ProgressBar, "", QRect(7, 7, 302, 14)},
                           });
    EXPECT_EQ(TabStops(dialog), (std::vector<int>{IDCANCEL}));
    EXPECT_TRUE(dialog.Find(IDC_PROGRESS)->Has(CF_SMOOTH));
}

// The plan's preview and results: the list, the summary a screen reader reads, and the buttons.
TEST(DialogTemplates, PlanPreviewAndResultsTemplates136And137) {
    struct Plan {
        int id;
        const char* title;
        std::vector<Expected> controls;
        std::vector<int> tabStops;
        const char* listName;
    };
    const std::vector<Plan> plans = {
        {IDD_PLAN_PREVIEW,
         "Apply plan",
         {
             {1131, ControlKind::ListView, "", QRect(7, 7, 400, 156)},
             {1132, ControlKind::ReadOnlyEdit, "", QRect(7, 168, 400, 14)},
             {1127, ControlKind::ProgressBar, "", QRect(7, 186, 400, 10)},
             {IDOK, ControlKind::DefaultPushButton, "Apply", QRect(301, 202, 50, 14)},
             {IDCANCEL, ControlKind::PushButton, "Cancel", QRect(357, 202, 50, 14)},
         },
         {1131, 1132, IDOK, IDCANCEL},
         "Planned devices"},
        {IDD_PLAN_RESULTS,
         "Plan results",
         {
             {1131, ControlKind::ListView, "", QRect(7, 7, 400, 170)},
             {1132, ControlKind::ReadOnlyEdit, "", QRect(7, 182, 400, 14)},
             {1133, ControlKind::PushButton, "Save report...", QRect(7, 202, 60, 14)},
             {IDCANCEL, ControlKind::DefaultPushButton, "Close", QRect(357, 202, 50, 14)},
         },
         {1131, 1132, 1133, IDCANCEL},
         "Results"},
    };
    for (const Plan& plan : plans) {
        const DialogResource dialog = Load(plan.id);
        EXPECT_EQ(dialog.title, QString::fromUtf8(plan.title));
        EXPECT_EQ(dialog.size, QSize(414, 223)) << plan.id;
        ExpectControls(dialog, plan.controls);
        EXPECT_EQ(TabStops(dialog), plan.tabStops) << plan.id;
        EXPECT_EQ(dialog.Find(IDC_PLAN_LIST)->accessibleName, QString::fromUtf8(plan.listName));
        EXPECT_EQ(dialog.Find(IDC_PLAN_SUMMARY)->accessibleName, QStringLiteral("Plan summary")) << plan.id;
        EXPECT_TRUE(dialog.Find(IDC_PLAN_LIST)->Has(CF_REPORT)) << plan.id;
    }
    EXPECT_EQ(Load(IDD_PLAN_PREVIEW).Find(IDC_PROGRESS)->accessibleName, QStringLiteral("Writes sent"));
}

// Inside the dialog, and no two controls overlap except a group box around what it frames.
TEST(DialogTemplates, ControlsStayInsideAndApart) {
    for (const int id :
         {IDD_ABOUTBOX, IDD_MAIN_DIALOG, IDD_EDIT_DIALOG, IDD_WAIT_DIALOG, IDD_PLAN_PREVIEW, IDD_PLAN_RESULTS}) {
        const DialogResource dialog = Load(id);
        const QRect client(QPoint(0, 0), dialog.size);
        for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
            const ControlTemplate& a = dialog.controls[i];
            EXPECT_TRUE(client.contains(a.rect)) << id << ": " << a.id << " " << a.caption.toStdString();
            for (std::size_t j = i + 1; j < dialog.controls.size(); ++j) {
                const ControlTemplate& b = dialog.controls[j];
                if (a.kind == ControlKind::GroupBox || b.kind == ControlKind::GroupBox) continue;
                EXPECT_FALSE(a.rect.intersects(b.rect))
                    << id << ": " << a.id << " \"" << a.caption.toStdString() << "\" and " << b.id << " \""
                    << b.caption.toStdString() << "\"";
            }
        }
    }
}

TEST(DialogTemplates, GroupBoxesEncloseTheirControls) {
    const DialogResource dialog = Load(IDD_EDIT_DIALOG);
    const std::vector<std::pair<const char*, std::vector<int>>> groups = {
        {"IP", {1112, 1113, 1114, 1115, 1116}},
        {"BACnet", {1117, 1118, 1119, 1120, 1121, 1128, 1129}},
        {"", {1122, 1123, 1130}},
    };
    for (const auto& [caption, members] : groups) {
        const ControlTemplate* box = nullptr;
        for (const ControlTemplate& control : dialog.controls) {
            if (control.kind == ControlKind::GroupBox && control.caption == QString::fromUtf8(caption)) box = &control;
        }
        ASSERT_NE(box, nullptr) << caption;
        for (const int member : members) {
            EXPECT_TRUE(box->rect.contains(dialog.Find(member)->rect)) << caption << " " << member;
        }
    }
}

TEST(DialogTemplates, MalformedTemplatesAreRejectedWithAReason) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"not json", "{"},
        {"no size", R"({"id": 1, "controls": []})"},
        {"unknown kind", R"({"size": [10, 10], "controls": [{"id": 5, "kind": "slider", "rect": [0, 0, 1, 1]}]})"},
        {"short rect", R"({"size": [10, 10], "controls": [{"id": 5, "kind": "edit", "rect": [0, 0, 1]}]})"},
        {"negative size", R"({"size": [10, 10], "controls": [{"id": 5, "kind": "edit", "rect": [0, 0, -1, 4]}]})"},
        {"unknown flag",
         R"({"size": [10, 10], "controls": [{"id": 5, "kind": "edit", "rect": [0, 0, 1, 1], "flags": ["shiny"]}]})"},
        {"no id", R"({"size": [10, 10], "controls": [{"kind": "edit", "rect": [0, 0, 1, 1]}]})"},
        {"icon without icon", R"({"size": [10, 10], "controls": [{"id": -1, "kind": "icon", "rect": [0, 0, 1, 1]}]})"},
    };
    for (const auto& [name, json] : cases) {
        QString error;
        EXPECT_FALSE(ParseDialogResource(QByteArray(json), &error).has_value()) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
    QString error;
    EXPECT_FALSE(LoadDialogResource(999, &error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

TEST(StringTable, HoldsTheTwoStringsAndNothingElse) {
    EXPECT_EQ(LoadString(IDS_ABOUTBOX), QStringLiteral("&About Pelmora configuration software..."));
    EXPECT_EQ(LoadString(IDS_SOCKETS_INIT_FAILED), QStringLiteral("Windows sockets initialization failed."));
    EXPECT_TRUE(LoadString(102).isEmpty());
}

TEST(AppIcon, RendersAtEverySizeAndUnknownIconsAreNull) {
    const QIcon icon = LoadIcon(IDR_MAINFRAME);
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        // Drawn, not blank: the middle is opaque, a corner of the rounded square is not.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
        EXPECT_LT(qAlpha(image.pixel(0, 0)), 128) << size;
    }
    EXPECT_TRUE(LoadIcon(999).isNull());
}

}  // namespace
}  // namespace pelmora
