// The user's guide's screenshot of the wait dialog, partly filled. It writes a picture for a person to look at
// and asserts nothing else; it carries the label "screenshots".
#include <QtTest/QTest>
#include <QtWidgets/QProgressBar>

#include <gtest/gtest.h>

#include "editing/DlgWait.h"
#include "resources/ResourceIds.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/ControlId.h"

namespace pelmora {
namespace {

TEST(Screenshots, WaitDialogPartlyFilled) {
    CDlgWait wait;
    const auto call = test::CallOnNextModal([](QWidget* modal) {
        auto* progress = qobject_cast<QProgressBar*>(FindControl(modal, IDC_PROGRESS));
        EXPECT_TRUE(QTest::qWaitFor([progress] { return progress->value() >= 9; }, 3000));
        EXPECT_TRUE(test::SaveScreenshot(modal, QStringLiteral(PELMORA_SCREENSHOT_DIR "/wait-dialog.png")));
        QTest::mouseClick(FindControl(modal, IDCANCEL), Qt::LeftButton);
    });
    EXPECT_FALSE(wait.RunWait(2));
    EXPECT_TRUE(call->fired);
}

}  // namespace
}  // namespace pelmora
