// The docs' screenshots of the main window (also with duplicates flagged) and the About box. These
// tests write pictures for a person to look at and assert nothing else; they carry the label
// "screenshots".
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include "app/CAboutDlg.h"
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

}  // namespace
}  // namespace pelmora::test
