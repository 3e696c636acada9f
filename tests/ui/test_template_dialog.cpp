// The template builder and the dialog hooks: placement in dialog units, controls by ID, commands,
// default button, Escape, posted commands, timers, initialisation and show notifications.
#include "resources/ResourceIds.h"
#include "tests/ui/GuiTestSupport.h"
#include "tests/ui/RecordingDialog.h"
#include "ui/qt/ControlId.h"
#include "ui/qt/QtIpAddressCtrl.h"
#include "ui/qt/QtReportList.h"

#include <QtGui/QFont>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace pelmora {
namespace {

using test::RecordingDialog;

constexpr int ALL_TEMPLATES[] = {IDD_ABOUTBOX, IDD_MAIN_DIALOG, IDD_EDIT_DIALOG, IDD_WAIT_DIALOG};

TEST(DialogUnits, ConvertCornersWithTheOriginalRounding) {
    const DialogUnits units(6, 13);
    // 7*6/4 = 10.5 rounds up; 57*6/4 = 85.5 → 86; 7*13/8 = 11.375 → 11; 21*13/8 = 34.125 → 34.
    EXPECT_EQ(units.ToPixels(QRect(7, 7, 50, 14)), QRect(11, 11, 75, 23));
    EXPECT_EQ(units.ToPixels(QSize(414, 223)), QSize(621, 362));
    // Adjacent controls in dialog units stay adjacent in pixels.
    const QRect left = units.ToPixels(QRect(5, 3, 7, 9));
    const QRect right = units.ToPixels(QRect(12, 3, 9, 9));
    EXPECT_EQ(left.x() + left.width(), right.x());
}

TEST(DialogUnits, AverageWidthFollowsTheFont) {
    QFont font = QApplication::font();
    font.setPixelSize(12);
    const DialogUnits small = DialogUnits::FromFont(font);
    font.setPixelSize(24);
    const DialogUnits large = DialogUnits::FromFont(font);
    EXPECT_GT(small.BaseUnitX(), 0);
    EXPECT_NEAR(large.BaseUnitX(), 2 * small.BaseUnitX(), 1);
    EXPECT_NEAR(large.BaseUnitY(), 2 * small.BaseUnitY(), 2);
}

TEST(TemplateDialog, ControlsKeepTheirProportionsAtAnyFontSize) {
    RecordingDialog dialog(IDD_EDIT_DIALOG);
    QFont font = QApplication::font();
    font.setPixelSize(11);
    dialog.Window().setFont(font);
    const QSize smallSize = dialog.Window().size();
    std::vector<QRect> small;
    for (const ControlTemplate& control : dialog.Window().Template().controls)
        small.push_back(dialog.Window().Control(control.id)->geometry());

    font.setPixelSize(22);
    dialog.Window().setFont(font);
    const QSize largeSize = dialog.Window().size();
    EXPECT_NEAR(largeSize.width(), 2 * smallSize.width(), largeSize.width() / 20);
    EXPECT_NEAR(largeSize.height(), 2 * smallSize.height(), largeSize.height() / 20);

    const double sx = double(largeSize.width()) / smallSize.width();
    const double sy = double(largeSize.height()) / smallSize.height();
    std::size_t i = 0;
    for (const ControlTemplate& control : dialog.Window().Template().controls) {
        if (control.id == IDC_STATIC) {
            ++i;
            continue;
        }
        const QRect large = dialog.Window().Control(control.id)->geometry();
        EXPECT_NEAR(large.x(), small[i].x() * sx, 2.0) << control.id;
        EXPECT_NEAR(large.y(), small[i].y() * sy, 2.0) << control.id;
        EXPECT_NEAR(large.width(), small[i].width() * sx, 2.0) << control.id;
        EXPECT_NEAR(large.height(), small[i].height() * sy, 2.0) << control.id;
        EXPECT_EQ(large, dialog.Window().MapDialogRect(control.rect)) << control.id;
        ++i;
    }
}

bool IsKind(QWidget* widget, ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: return qobject_cast<QPushButton*>(widget) != nullptr;
        case ControlKind::CheckBox: return qobject_cast<QCheckBox*>(widget) != nullptr;
        case ControlKind::Edit:
            return qobject_cast<QLineEdit*>(widget) != nullptr && !static_cast<QLineEdit*>(widget)->isReadOnly();
        case ControlKind::ReadOnlyEdit:
            return qobject_cast<QLineEdit*>(widget) != nullptr && static_cast<QLineEdit*>(widget)->isReadOnly();
        case ControlKind::Label:
        case ControlKind::Icon: return qobject_cast<QLabel*>(widget) != nullptr;
        case ControlKind::GroupBox: return qobject_cast<QGroupBox*>(widget) != nullptr;
        case ControlKind::ListView: return qobject_cast<QtReportList*>(widget) != nullptr;
        case ControlKind::IpAddress: return qobject_cast<QtIpAddressCtrl*>(widget) != nullptr;
        case ControlKind::ProgressBar: return qobject_cast<QProgressBar*>(widget) != nullptr;
    }
    return false;
}

TEST(TemplateDialog, EveryControlIsReachableByIdWithItsKindCaptionAndPlace) {
    for (const int id : ALL_TEMPLATES) {
        RecordingDialog dialog(id);
        ASSERT_TRUE(dialog.Window().HasTemplate());
        EXPECT_EQ(dialog.Window().windowTitle(), dialog.Window().Template().title);
        EXPECT_FALSE(dialog.Window().windowIcon().isNull());
        EXPECT_EQ(dialog.Window().minimumSize(), dialog.Window().maximumSize()) << "fixed size " << id;
        EXPECT_EQ(dialog.Window().size(), dialog.Window().Units().ToPixels(dialog.Window().Template().size));
        for (const ControlTemplate& control : dialog.Window().Template().controls) {
            if (control.id == IDC_STATIC) continue;
            QWidget* widget = dialog.Window().Control(control.id);
            ASSERT_NE(widget, nullptr) << id << ": " << control.id;
            EXPECT_EQ(FindControl(&dialog.Window(), control.id), widget);
            EXPECT_EQ(ControlIdOf(widget), control.id);
            EXPECT_EQ(widget->objectName(), QStringLiteral("ctl_%1").arg(control.id));
            EXPECT_TRUE(IsKind(widget, control.kind)) << id << ": " << control.id;
            EXPECT_EQ(widget->geometry(), dialog.Window().MapDialogRect(control.rect)) << id << ": " << control.id;
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                EXPECT_EQ(button->text(), control.caption);
            }
        }
        EXPECT_EQ(dialog.Window().Control(4242), nullptr);
        EXPECT_EQ(dialog.Window().ControlAs<QCheckBox>(IDOK), nullptr) << "wrong type gives null";
    }
    RecordingDialog edit(IDD_EDIT_DIALOG);
    EXPECT_NE(edit.Window().ControlAs<QtIpAddressCtrl>(IDC_ADDRESS), nullptr);
    EXPECT_NE(edit.Window().ControlAs<QLineEdit>(IDC_NAME), nullptr);
    EXPECT_TRUE(edit.Window().ControlAs<QLineEdit>(IDC_MAC_TEXT)->isReadOnly());
}

TEST(TemplateDialog, OnlyTheTemplatesDefaultButtonIsDefault) {
    const std::vector<std::pair<int, int>> defaults = {
        {IDD_ABOUTBOX, IDOK}, {IDD_MAIN_DIALOG, IDC_EDIT_BUTTON}, {IDD_EDIT_DIALOG, IDOK}, {IDD_WAIT_DIALOG, 0}};
    for (const auto& [templateId, defaultId] : defaults) {
        RecordingDialog dialog(templateId);
        for (QPushButton* button : dialog.Window().findChildren<QPushButton*>()) {
            EXPECT_EQ(button->isDefault(), ControlIdOf(button) == defaultId)
                << templateId << ": " << ControlIdOf(button);
            EXPECT_FALSE(button->autoDefault()) << templateId << ": " << ControlIdOf(button);
        }
    }
}

TEST(TemplateDialog, ClicksSendTheControlsIdAsACommand) {
    RecordingDialog dialog(IDD_MAIN_DIALOG);
    ASSERT_TRUE(test::ShowAndActivate(&dialog.Window()));
    QTest::mouseClick(dialog.Window().Control(IDC_REFRESH_BUTTON), Qt::LeftButton);
    QTest::mouseClick(dialog.Window().Control(IDC_WINK_BUTTON), Qt::LeftButton);
    dialog.EnableControl(IDC_WINK_BUTTON, false);
    QTest::mouseClick(dialog.Window().Control(IDC_WINK_BUTTON), Qt::LeftButton);
    EXPECT_EQ(dialog.commands, (std::vector<int>{IDC_REFRESH_BUTTON, IDC_WINK_BUTTON}));

    RecordingDialog edit(IDD_EDIT_DIALOG);
    ASSERT_TRUE(test::ShowAndActivate(&edit.Window()));
    QTest::mouseClick(edit.Window().Control(IDC_DHCP), Qt::LeftButton);
    // Set by the program, a check box sends nothing.
    edit.Window().ControlAs<QCheckBox>(IDC_DEBUG)->setChecked(true);
    EXPECT_EQ(edit.commands, std::vector<int>{IDC_DHCP});
    EXPECT_TRUE(edit.Window().ControlAs<QCheckBox>(IDC_DHCP)->isChecked());
}

TEST(TemplateDialog, MappedCommandsRunTheirHandler) {
    RecordingDialog dialog(IDD_MAIN_DIALOG);
    int refreshes = 0;
    dialog.MapCommand(IDC_REFRESH_BUTTON, [&refreshes] { ++refreshes; });
    dialog.SendCommand(IDC_REFRESH_BUTTON);
    dialog.SendCommand(ID_RESCAN);
    EXPECT_EQ(refreshes, 1);
}

TEST(TemplateDialog, EnterPressesTheDefaultButton) {
    RecordingDialog dialog(IDD_MAIN_DIALOG);
    ASSERT_TRUE(test::ShowAndActivate(&dialog.Window()));
    dialog.Window().Control(IDC_REFRESH_BUTTON)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.commands, std::vector<int>{IDC_EDIT_BUTTON});
    // A disabled default button takes no Enter, and nothing else does instead.
    dialog.EnableControl(IDC_EDIT_BUTTON, false);
    dialog.Window().Control(IDC_DEVICE_LIST)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialog.commands, std::vector<int>{IDC_EDIT_BUTTON});
    EXPECT_TRUE(dialog.Window().isVisible());
}

TEST(TemplateDialog, EnterInAnEditEndsTheModalRunThroughOnOK) {
    RecordingDialog dialog(IDD_EDIT_DIALOG);
    auto call = test::CallOnNextModal([&dialog](QWidget*) {
        dialog.Window().Control(IDC_NAME)->setFocus();
        test::KeyIntoFocus(Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(call->fired);
    EXPECT_EQ(dialog.commands, std::vector<int>{IDOK});
}

TEST(TemplateDialog, EnterWithoutADefaultButtonIsIdok) {
    RecordingDialog dialog(IDD_WAIT_DIALOG);
    auto call = test::CallOnNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(call->fired);
}

TEST(TemplateDialog, EscapeAndTheCloseBoxAreIdcancel) {
    {
        RecordingDialog dialog(IDD_EDIT_DIALOG);
        test::CallOnNextModal([](QWidget*) { test::KeyIntoFocus(Qt::Key_Escape); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.commands, std::vector<int>{IDCANCEL});
    }
    {
        RecordingDialog dialog(IDD_MAIN_DIALOG);
        test::CallOnNextModal([](QWidget* modal) { modal->close(); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.commands, std::vector<int>{IDCANCEL});
    }
    {
        RecordingDialog dialog(IDD_WAIT_DIALOG);
        test::CallOnNextModal([](QWidget* modal) { QTest::mouseClick(FindControl(modal, IDCANCEL), Qt::LeftButton); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
}

TEST(TemplateDialog, AnOnCancelThatKeepsTheDialogKeepsItOpen) {
    RecordingDialog dialog(IDD_MAIN_DIALOG);
    dialog.keepOpenOnCancel = true;
    test::CallOnNextModal([&dialog](QWidget* modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
        modal->close();
        EXPECT_TRUE(modal->isVisible());
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.commands, (std::vector<int>{IDCANCEL, IDCANCEL}));
}

TEST(TemplateDialog, PostedCommandsArriveFromTheEventLoop) {
    RecordingDialog dialog(IDD_MAIN_DIALOG);
    dialog.PostCommand(ID_CLEAR_AND_RESCAN);
    dialog.PostCommand(ID_RESCAN);
    EXPECT_TRUE(dialog.commands.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.commands, (std::vector<int>{ID_CLEAR_AND_RESCAN, ID_RESCAN}));

    // IDOK sent by another window ends a modal run through OnOK.
    RecordingDialog modal(IDD_ABOUTBOX);
    test::CallOnNextModal([&modal](QWidget*) { modal.PostCommand(IDOK); });
    EXPECT_EQ(modal.DoModal(), IDOK);
}

TEST(TemplateDialog, TimersTickWithTheirOwnIdsUntilKilled) {
    RecordingDialog dialog(IDD_WAIT_DIALOG);
    ASSERT_TRUE(dialog.SetTimer(0, 10));
    ASSERT_TRUE(dialog.SetTimer(7, 15));
    const auto ticks = [&dialog](int id) { return std::count(dialog.timers.begin(), dialog.timers.end(), id); };
    ASSERT_TRUE(QTest::qWaitFor([&ticks] { return ticks(0) >= 3 && ticks(7) >= 2; }, 5000));
    EXPECT_TRUE(std::all_of(dialog.timers.begin(), dialog.timers.end(), [](int id) { return id == 0 || id == 7; }));

    dialog.KillTimer(0);
    EXPECT_FALSE(dialog.HasTimer(0));
    const auto zeroTicks = ticks(0);
    QTest::qWait(60);
    EXPECT_EQ(ticks(0), zeroTicks);
    EXPECT_GT(ticks(7), 2);

    // Setting a running timer again restarts it instead of adding a second one.
    dialog.KillTimer(7);
    dialog.timers.clear();
    ASSERT_TRUE(dialog.SetTimer(3, 40));
    ASSERT_TRUE(dialog.SetTimer(3, 40));
    QTest::qWait(100);
    EXPECT_LE(ticks(3), 3);
    EXPECT_GE(ticks(3), 1);
}

TEST(TemplateDialog, TimersEndWithTheModalRun) {
    RecordingDialog dialog(IDD_WAIT_DIALOG);
    test::CallOnNextModal([&dialog](QWidget*) {
        dialog.SetTimer(0, 10);
        EXPECT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.timers.empty(); }, 5000));
        dialog.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(dialog.HasTimer(0));
    const auto ticks = dialog.timers.size();
    QTest::qWait(50);
    EXPECT_EQ(dialog.timers.size(), ticks);
}

TEST(TemplateDialog, InitRunsOnceBeforeTheFirstShowAndShowsAreReported) {
    RecordingDialog dialog(IDD_EDIT_DIALOG);
    EXPECT_EQ(dialog.initCount, 0);
    ASSERT_TRUE(test::ShowAndActivate(&dialog.Window()));
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_FALSE(dialog.visibleDuringInit);
    // OnInitDialog returned true: the first tab stop has the focus.
    EXPECT_EQ(QApplication::focusWidget(), dialog.Window().Control(IDC_DHCP));
    dialog.Window().hide();
    dialog.Window().show();
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_EQ(dialog.shows, (std::vector<bool>{true, false, true}));
}

TEST(TemplateDialog, TabVisitsTheTabStopsInTemplateOrder) {
    RecordingDialog dialog(IDD_EDIT_DIALOG);
    ASSERT_TRUE(test::ShowAndActivate(&dialog.Window()));
    std::vector<int> visited;
    for (int i = 0; i < 20; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // A field of an address control counts as the control.
        while (focus != &dialog.Window() && ControlIdOf(focus, 0) == 0) focus = focus->parentWidget();
        visited.push_back(ControlIdOf(focus, 0));
        test::KeyIntoFocus(Qt::Key_Tab);
    }
    EXPECT_EQ(visited, (std::vector<int>{1112, 1113, 1115, 1114, 1116, 1117, 1118,     1121, 1120, 1119,
                                         1128, 1129, 1122, 1123, 1130, IDOK, IDCANCEL, 1111, 1126, 1112}));
}

}  // namespace
}  // namespace pelmora
