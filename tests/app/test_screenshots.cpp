// The README's screenshots of the main window (also with duplicates flagged) and the About box. These
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
    struct Shown {
        std::uint8_t last[2];
        Ipv4Octets ip;
        bool bacnet;
        std::int32_t id;
        const char* name;
        const char* location;
        std::uint32_t revision;
    };
    const Shown shown[] = {
        {{0x10, 0x01}, {{192, 168, 92, 20}}, true, 4001, "AHU-1 Supply", "Roof", 0x02010312},
        {{0x10, 0x02}, {{192, 168, 92, 21}}, true, 4002, "AHU-2", "Plant", 0x02010312},
        {{0x10, 0x07}, {{192, 168, 92, 27}}, false, 0, "", "", 0x01090007},
        {{0x11, 0x20}, {{192, 168, 92, 40}}, true, 4100, "Boiler house", "Basement", 0x02010401},
        {{0x12, 0x34}, {{10, 0, 0, 99}}, true, -1, "Unit $", "", 0x01000000},
        {{0x13, 0x02}, {{192, 168, 92, 52}}, false, 0, "", "", 0x01090102},
    };
    ReplyStore replies;
    for (const Shown& s : shown) {
        FakeDevice device;
        const std::uint8_t mac[6] = {0x00, 0x50, 0xC2, 0x8F, s.last[0], s.last[1]};
        std::copy(std::begin(mac), std::end(mac), device.mac);
        device.ip = s.ip;
        device.bacnet = s.bacnet;
        device.deviceId = s.id;
        device.name = s.name;
        device.location = s.location;
        device.pla = 1;
        device.revision = s.revision;
        const ElementList list = ReplyOf(device);
        replies.emplace(MacKey(list), list);
    }
    return replies;
}

TEST_F(MainWindowTest, Screenshots) {
    m_network.heard = ScreenshotDevices();
    ShowAndWaitForFirstScan();
    ClickRow(1);
    QTest::qWait(50);
    EXPECT_TRUE(SaveScreenshot(m_window.get(), QStringLiteral(PELMORA_SCREENSHOT_DIR "/main-window.png")));

    CAboutDlg about;
    about.show();
    QTest::qWait(50);
    EXPECT_TRUE(SaveScreenshot(&about, QStringLiteral(PELMORA_SCREENSHOT_DIR "/about-box.png")));
}

TEST_F(MainWindowTest, ScreenshotWithDuplicatesFlagged) {
    m_network.heard = DuplicateDevices();
    ShowAndWaitForFirstScan();
    QTest::qWait(50);
    EXPECT_TRUE(SaveScreenshot(m_window.get(), QStringLiteral(PELMORA_SCREENSHOT_DIR "/main-window-duplicates.png")));
}

}  // namespace
}  // namespace pelmora::test
