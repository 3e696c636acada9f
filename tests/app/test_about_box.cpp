// The About item of the main window's context menu and F1, the About box, and the screenshots of both.
#include <gtest/gtest.h>

#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtGui/QContextMenuEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>

#include "app/CAboutDlg.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/ui/GuiTestSupport.h"

namespace pelmora::test {
namespace {

struct AboutSeen {
    QString title;
    QStringList texts;
    bool hasIcon = false;
    bool closedByEnter = true;
};

AboutSeen Inspect(QWidget* modal) {
    AboutSeen seen;
    seen.title = modal->windowTitle();
    for (const QLabel* label : modal->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) seen.texts << label->text();
        if (!label->pixmap().isNull()) seen.hasIcon = true;
    }
    return seen;
}

// Chooses the first item of the next popup menu, as a click on it would; returns the items' texts.
std::shared_ptr<QStringList> ChooseFirstItemOfNextMenu() {
    auto items = std::make_shared<QStringList>();
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, items] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || !menu->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        for (const QAction* action : menu->actions()) *items << action->text();
        if (!menu->actions().isEmpty()) {
            menu->setActiveAction(menu->actions().first());
            QTest::keyClick(menu, Qt::Key_Return);
        }
    });
    timer->start();
    return items;
}

TEST_F(MainWindowTest, TheContextMenusAboutItemOpensTheAboutBox) {
    ShowAndWaitForFirstScan();
    AboutSeen seen;
    auto about = CallOnNextModal([&](QWidget* modal) {
        seen = Inspect(modal);
        // OK is the default button: Enter closes the box. The key goes to the box itself, since under
        // load the focus may not have reached it yet; a box that stays open fails the test instead of
        // hanging it.
        QTest::keyClick(modal, Qt::Key_Return);
        if (modal->isVisible()) {
            seen.closedByEnter = false;
            CloseModal(modal);
        }
    });
    auto items = ChooseFirstItemOfNextMenu();
    // As the window system delivers a right-click: to the widget under the mouse, here a button,
    // which passes it on to the window.
    QWidget* refresh = Button(IDC_REFRESH_BUTTON);
    const QPoint centre = refresh->rect().center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, centre, refresh->mapToGlobal(centre));
    QApplication::sendEvent(refresh, &click);
    ASSERT_TRUE(QTest::qWaitFor([&] { return about->fired || about->timedOut; }, 6000));
    EXPECT_EQ(items->join('|').toStdString(), "&About Pelmora configuration software...|Export list...|Apply plan...");
    ASSERT_TRUE(about->fired);
    EXPECT_EQ(seen.title, QStringLiteral("About"));
    EXPECT_EQ(seen.texts.join('|').toStdString(), "Pelmora configuration software|Version 1.0");
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_TRUE(seen.closedByEnter);
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 2000));
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(m_network.discoverCalls, 1);
}

TEST_F(MainWindowTest, F1OpensTheAboutBoxAndOtherSystemCommandsDoNothing) {
    ShowAndWaitForFirstScan();
    auto about = CallOnNextModal([](QWidget* modal) { CloseModal(modal); });
    QTest::keyClick(&Window(), Qt::Key_F1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return about->fired || about->timedOut; }, 6000));
    EXPECT_TRUE(about->fired);
    EXPECT_EQ(about->title, QStringLiteral("About"));

    // Only the low four bits may differ from the About command.
    auto variant = CallOnNextModal([](QWidget* modal) { CloseModal(modal); });
    m_window->OnSysCommand(IDM_ABOUTBOX | 0x3);
    EXPECT_TRUE(variant->fired);
    auto none = CallOnNextModal([](QWidget* modal) { CloseModal(modal); }, 300);
    m_window->OnSysCommand(0xF060);
    m_window->OnSysCommand(0x20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return none->fired || none->timedOut; }, 2000));
    EXPECT_FALSE(none->fired);
    EXPECT_TRUE(Window().isVisible());
}

}  // namespace
}  // namespace pelmora::test
