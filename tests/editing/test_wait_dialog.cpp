// The wait dialog: nothing shown for no time, one progress step per tick up to seconds x 10, and the
// ways it ends.
#include <QtTest/QTest>
#include <QtWidgets/QProgressBar>

#include <gtest/gtest.h>

#include "editing/DlgWait.h"
#include "resources/ResourceIds.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/ControlId.h"

namespace pelmora {
namespace {

QProgressBar* Progress(QWidget* dialog) { return qobject_cast<QProgressBar*>(FindControl(dialog, IDC_PROGRESS)); }

TEST(WaitDialog, NoTimeReturnsTrueAtOnceWithoutShowing) {
    for (const int seconds : {0, -1, -35}) {
        CDlgWait wait;
        const auto call = test::CallOnNextModal([](QWidget* modal) { modal->close(); });
        EXPECT_TRUE(wait.RunWait(seconds)) << seconds;
        EXPECT_FALSE(call->fired) << "no modal run at all";
        EXPECT_FALSE(wait.Window().isVisible());
        EXPECT_EQ(Progress(&wait.Window())->maximum(), 100) << "never initialised";
    }
}

TEST(WaitDialog, FillsOneStepPerTickAndEndsWithTheLastPositionAtTheTop) {
    CDlgWait wait;
    QProgressBar* progress = Progress(&wait.Window());
    ASSERT_NE(progress, nullptr);
    std::vector<int> positions;
    int interval = 0;
    QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) {
        positions.push_back(value);
        if (value == 1) interval = wait.TimerInterval(CDlgWait::TICK_TIMER);
    });
    EXPECT_TRUE(wait.RunWait(2));
    EXPECT_EQ(interval, 100) << "one tick every 100 ms, so 20 ticks are two seconds";
    EXPECT_FALSE(wait.HasTimer(CDlgWait::TICK_TIMER)) << "the timer ends with the run";
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 20);
    std::vector<int> expected;
    for (int tick = 1; tick <= 20; ++tick) expected.push_back(tick);
    EXPECT_EQ(positions, expected);
}

TEST(WaitDialog, CancelEscapeAndCloseEndItEarlyWithFalseEnterWithTrue) {
    struct Way {
        const char* name;
        std::function<void(QWidget*)> end;
        bool result;
    };
    const Way ways[] = {
        {"Cancel", [](QWidget* modal) { QTest::mouseClick(FindControl(modal, IDCANCEL), Qt::LeftButton); }, false},
        {"Escape", [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); }, false},
        {"close box", [](QWidget* modal) { modal->close(); }, false},
        {"Enter", [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); }, true},
    };
    for (const Way& way : ways) {
        CDlgWait wait;
        int maximum = -1;
        int positionAtEnd = -1;
        const auto call = test::CallOnNextModal([&](QWidget* modal) {
            if (!QTest::qWaitFor([modal] { return Progress(modal)->value() >= 1; }, 5000)) ADD_FAILURE() << "no tick";
            maximum = Progress(modal)->maximum();
            positionAtEnd = Progress(modal)->value();
            way.end(modal);
        });
        EXPECT_EQ(wait.RunWait(35), way.result) << way.name;
        EXPECT_TRUE(call->fired) << way.name;
        EXPECT_EQ(call->title, QStringLiteral("Wait...")) << way.name;
        EXPECT_EQ(maximum, 350) << way.name;
        EXPECT_GE(positionAtEnd, 1) << way.name;
        EXPECT_LT(positionAtEnd, 350) << way.name << " ended before the wait ran out";
    }
}

}  // namespace
}  // namespace pelmora
