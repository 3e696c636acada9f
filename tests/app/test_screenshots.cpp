// The docs' screenshots of the main window (also with duplicates flagged), the About box, and a plan's
// preview and results. These
// tests write pictures for a person to look at and assert nothing else; they carry the label
// "screenshots".
#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>
#include <QtWidgets/QPushButton>

#include "app/CAboutDlg.h"
#include "app/PlanDialogs.h"
#include "protocol/ElementList.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/ui/GuiTestSupport.h"

namespace pelmora::test {
namespace {

// A few devices of each kind: BACnet, without BACnet, factory-fresh on a foreign subnet.
ReplyStore ScreenshotDevices() {
    return RepliesOf({
        {{0x10, 0x01}, {{192, 168, 92, 20}}, true, 4001, "AHU-1 Supply", "Roof", 0x02010312},
        {{0x10, 0x02}, {{192, 168, 92, 21}}, true, 4002, "AHU-2", "Plant", 0x02010312},
        {{0x10, 0x07}, {{192, 168, 92, 27}}, false, 0, "", "", 0x01090007},
        {{0x11, 0x20}, {{192, 168, 92, 40}}, true, 4100, "Boiler house", "Basement", 0x02010401},
        {{0x12, 0x34}, {{10, 0, 0, 99}}, true, -1, "Unit $", "", 0x01000000},
        {{0x13, 0x02}, {{192, 168, 92, 52}}, false, 0, "", "", 0x01090102},
    });
}

TEST_F(MainWindowTest, Screenshots) {
    m_network.heard = ScreenshotDevices();
    ShowAndWaitForFirstScan();
    ClickRow(1);
    QTest::qWait(50);
    EXPECT_TRUE(SaveScreenshot(&Window(), QStringLiteral(PELMORA_SCREENSHOT_DIR "/main-window.png")));

    CAboutDlg about;
    about.Window().show();
    QTest::qWait(50);
    EXPECT_TRUE(SaveScreenshot(&about.Window(), QStringLiteral(PELMORA_SCREENSHOT_DIR "/about-box.png")));
}

TEST_F(MainWindowTest, ScreenshotWithDuplicatesFlagged) {
    m_network.heard = DuplicateDevices();
    ShowAndWaitForFirstScan();
    QTest::qWait(50);
    EXPECT_TRUE(SaveScreenshot(&Window(), QStringLiteral(PELMORA_SCREENSHOT_DIR "/main-window-duplicates.png")));
}

TEST_F(MainWindowTest, ScreenshotsOfAPlansPreviewAndResults) {
    m_network.heard = ScreenshotDevices();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    m_planFile = dir.filePath("site.csv").toStdString();
    QFile plan(QString::fromStdString(m_planFile));
    ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
    plan.write(
        "Unit,IP address,Device ID,Device Name\r\n"
        "00:50:C2:8F:10:01,192.168.10.21,4101,AHU-1 Supply\r\n"
        "00:50:C2:8F:10:02,192.168.10.22,4102,AHU-2 Return\r\n"
        "00:50:C2:8F:11:20,,4100,Boiler house\r\n"
        "00:50:C2:8F:12:34,192.168.10.23,4103,Unit $\r\n"
        "00:50:C2:8F:19:99,192.168.10.29,4109,Spare\r\n");
    plan.close();
    ShowAndWaitForFirstScan();
    // Two devices take their settings; the third keeps its old name.
    m_duringWait = [this] {
        m_network.heard = RepliesOf({
            {{0x10, 0x01}, {{192, 168, 10, 21}}, true, 4101, "AHU-1 Supply", "Roof", 0x02010312},
            {{0x10, 0x02}, {{192, 168, 10, 22}}, true, 4102, "AHU-2", "Plant", 0x02010312},
            {{0x10, 0x07}, {{192, 168, 92, 27}}, false, 0, "", "", 0x01090007},
            {{0x11, 0x20}, {{192, 168, 92, 40}}, true, 4100, "Boiler house", "Basement", 0x02010401},
            {{0x12, 0x34}, {{192, 168, 10, 23}}, true, 4103, "Unit $", "", 0x01000000},
            {{0x13, 0x02}, {{192, 168, 92, 52}}, false, 0, "", "", 0x01090102},
        });
    };
    std::shared_ptr<const ModalCall> results;
    auto preview = CallOnNextModal([&](QWidget* modal) {
        QTest::qWait(50);
        EXPECT_TRUE(SaveScreenshot(modal, QStringLiteral(PELMORA_SCREENSHOT_DIR "/plan-preview.png")));
        results = CallOnNextModal([&](QWidget* shown) {
            QTest::qWait(50);
            EXPECT_TRUE(SaveScreenshot(shown, QStringLiteral(PELMORA_SCREENSHOT_DIR "/plan-results.png")));
            CloseModal(shown);
        });
        auto* dialog = DialogOf<CPlanPreviewDlg>(modal);
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->Window().ControlAs<QPushButton>(IDOK), Qt::LeftButton);
    });
    Window().MenuAction(ID_APPLY_PLAN)->trigger();
    ASSERT_TRUE(preview->fired);
    ASSERT_TRUE(results && results->fired);
    QTest::qWait(50);
    EXPECT_TRUE(SaveScreenshot(&Window(), QStringLiteral(PELMORA_SCREENSHOT_DIR "/main-window-plan-marks.png")));
}

}  // namespace
}  // namespace pelmora::test
