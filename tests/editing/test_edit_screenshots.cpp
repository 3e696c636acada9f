// The edit dialog as a technician sees it, filled with a realistic device: the shown texts fit their
// edits, and a PNG of it goes to the build directory.
#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QStyle>

#include <gtest/gtest.h>

#include "resources/ResourceIds.h"
#include "tests/editing/EditDialogDriver.h"
#include "tests/support/FakeDevices.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/ControlId.h"

namespace pelmora {
namespace {

DeviceRecord GatewayUnit() {
    DeviceRecord r;
    const std::uint8_t mac[6] = {0x00, 0x50, 0xC2, 0x8A, 0x10, 0x01};
    std::copy(mac, mac + 6, r.mac);
    const std::uint8_t ip[4] = {192, 168, 92, 92}, mask[4] = {255, 255, 255, 0}, gw[4] = {192, 168, 92, 1};
    std::copy(ip, ip + 4, r.ipAddress);
    std::copy(mask, mask + 4, r.subnetMask);
    std::copy(gw, gw + 4, r.gateway);
    const std::uint8_t dns[8] = {192, 0, 168, 0, 92, 0, 1, 0};
    std::copy(dns, dns + 8, r.dnsServers);
    r.pla = 1;
    r.ela = 2;
    r.featureFlags = FEATURE_BACNET;
    r.deviceId = 260001;
    r.deviceName = "AHU-1 gateway";
    r.location = "Plant room 2";
    r.description = "Air handler 1";
    r.bacnetPort = 47808;
    r.bbmdAddress = "192.168.10.250";
    r.debugFlags = 1;
    return r;
}

void ExpectShownWhole(QLineEdit* edit, int id) {
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    const int room = edit->width() - 2 * frame - 4;  // QLineEdit's own side margins
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), room)
        << "control " << id << " \"" << edit->text().toStdString() << '"';
}

TEST(EditDialogShown, ARealisticDeviceShowsEveryTextWhole) {
    DeviceRecord record = GatewayUnit();
    test::FakeDevices host;
    test::RunEditDialog(record, host.devices, [](CDialogEdit& d, test::EditOutcome&) {
        for (const int id : {IDC_MAC_TEXT, IDC_IP_TEXT, IDC_DEVICE_ID, IDC_PORT, IDC_PLA, IDC_ELA, IDC_BBMD_ADDRESS})
            ExpectShownWhole(d.Window().ControlAs<QLineEdit>(id), id);
        // The factory-default text is the longest a device ID edit shows by itself.
        test::Type(d, IDC_DEVICE_ID, QStringLiteral("[factory default]"));
        ExpectShownWhole(d.Window().ControlAs<QLineEdit>(IDC_DEVICE_ID), IDC_DEVICE_ID);
        test::Type(d, IDC_DEVICE_ID, QStringLiteral("260001"));
        d.Window().Control(IDC_NAME)->setFocus();
        EXPECT_TRUE(test::SaveScreenshot(&d.Window(), QStringLiteral(PELMORA_SCREENSHOT_DIR "/edit-dialog.png")));
    });
    EXPECT_TRUE(host.network.calls.empty());
}

}  // namespace
}  // namespace pelmora
