// The device list's context menu from the keyboard, and what a screen reader is given of it.
#include <gtest/gtest.h>

#include <QtGui/QAccessible>
#include <QtGui/QContextMenuEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include "tests/app/MainWindowFixture.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::test {
namespace {

// The menu as its accessible interface tells it: role, then each item's role and name, the selected one
// marked with '*'.
std::string Spoken(QMenu* menu) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
    if (accessible == nullptr) return "no accessible interface";
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    // A reader walking the tree down from the application must come upon the menu, as its last child.
    const bool inTree = accessible->parent() == application && application->childCount() > 0 &&
                        application->child(application->childCount() - 1) == accessible &&
                        application->indexOfChild(accessible) == application->childCount() - 1;
    std::string spoken = inTree ? "" : "not in the application's tree: ";
    spoken += accessible->role() == QAccessible::PopupMenu ? "popup menu:" : "other:";
    for (int i = 0; i < accessible->childCount(); ++i) {
        QAccessibleInterface* item = accessible->child(i);
        spoken += item->role() == QAccessible::MenuItem ? " item " : " other ";
        if (item->state().focused) spoken += "*";
        spoken += item->text(QAccessible::Name).toStdString() + ";";
    }
    return spoken;
}

// Opened from the keyboard, the first item is selected.
const char* const kMenuSpoken =
    "popup menu: item *About Pelmora configuration software...; item Export list...; item Apply plan...;";

// Shift+F10 (which Qt leaves to the widget), the Menu key as the X11 platform delivers it (a keyboard
// context-menu event to the focus widget), and Shift+F10 again: each opening, in one window, is spoken
// with its first item selected.
TEST_F(MainWindowTest, ShiftF10AndTheMenuKeyOnTheFocusedListOpenTheContextMenuEveryTime) {
    ShowAndWaitForFirstScan();
    const auto shiftF10 = [this] { QTest::keyClick(List(), Qt::Key_F10, Qt::ShiftModifier); };
    const auto menuKey = [this] {
        const QPoint pos = List()->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, List()->mapToGlobal(pos));
        QApplication::sendEvent(List(), &event);
    };
    const std::vector<std::pair<std::string, std::function<void()>>> openings = {
        {"Shift+F10", shiftF10}, {"the Menu key", menuKey}, {"Shift+F10 again", shiftF10}};
    for (const auto& [name, press] : openings) {
        ASSERT_TRUE(FocusList()) << name;
        std::string spoken;
        auto opened = WhenMenuOpens([&](QMenu* menu) {
            // The selection is made once the menu's own event loop runs.
            static_cast<void>(QTest::qWaitFor([menu] { return menu->activeAction() != nullptr; }, 1000));
            spoken = Spoken(menu);
        });
        press();
        ASSERT_TRUE(QTest::qWaitFor([&] { return *opened; }, 3000)) << name << " opened no menu";
        EXPECT_EQ(spoken, kMenuSpoken) << name;
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 2000)) << name;
        EXPECT_TRUE(List()->hasFocus()) << name;
    }
}

}  // namespace
}  // namespace pelmora::test
