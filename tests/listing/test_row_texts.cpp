// The texts of one device-list row.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "listing/RowTexts.h"
#include "protocol/WireFormat.h"

namespace pelmora {
namespace {

const std::uint8_t MAC[6] = {0x00, 0x50, 0xC2, 0xAB, 0x12, 0x34};

DeviceRecord BacnetRecord(std::int32_t deviceId, const std::string& name) {
    DeviceRecord r;
    std::memcpy(r.mac, MAC, 6);
    r.featureFlags = FEATURE_BACNET | 0x01;
    r.deviceId = deviceId;
    r.deviceName = name;
    r.location = "Roof";
    return r;
}

TEST(RowTexts, DeviceIdAndNameNumbers) {
    auto texts = RowTexts(BacnetRecord(-1, "A$B$"));
    EXPECT_EQ(texts[COL_DEVICE_ID], "(4660)");
    EXPECT_EQ(texts[COL_DEVICE_NAME], "A0004660B0004660");

    texts = RowTexts(BacnetRecord(1234, "A$B$"));
    EXPECT_EQ(texts[COL_BACNET], "Yes");
    EXPECT_EQ(texts[COL_DEVICE_ID], "1234");
    EXPECT_EQ(texts[COL_DEVICE_NAME], "A0001234B0001234");
    EXPECT_EQ(texts[COL_LOCATION], "Roof");

    texts = RowTexts(BacnetRecord(0, "$"));
    EXPECT_EQ(texts[COL_DEVICE_ID], "0");
    EXPECT_EQ(texts[COL_DEVICE_NAME], "0000000");

    texts = RowTexts(BacnetRecord(4194303, "\xC3\xA9$"));
    EXPECT_EQ(texts[COL_DEVICE_NAME],
              "\xC3\xA9"
              "4194303");
}

TEST(RowTexts, BacnetColumnsOnlyWithTheFeatureBit) {
    DeviceRecord r = BacnetRecord(5, "Name");
    r.featureFlags = 0xEF;
    r.ipAddress[0] = 172;
    r.ipAddress[3] = 255;
    r.pla = 255;
    const auto texts = RowTexts(r);
    EXPECT_EQ(texts[COL_UNIT], "00:50:C2:AB:12:34");
    EXPECT_EQ(texts[COL_IP_ADDRESS], "172.0.0.255");
    EXPECT_EQ(texts[COL_PLA], "255");
    EXPECT_EQ(texts[COL_ELA], "0");
    EXPECT_EQ(texts[COL_BACNET], "");
    EXPECT_EQ(texts[COL_DEVICE_ID], "");
    EXPECT_EQ(texts[COL_DEVICE_NAME], "");
    EXPECT_EQ(texts[COL_LOCATION], "");
}

TEST(RowTexts, Revision) {
    DeviceRecord r;
    EXPECT_EQ(RowTexts(r)[COL_REVISION], "0.0-0-00");
    r.revision = 0x0A0B0C0D;
    EXPECT_EQ(RowTexts(r)[COL_REVISION], "10.11-12-13");
    r.revision = 0xFFFFFF05;
    EXPECT_EQ(RowTexts(r)[COL_REVISION], "255.255-255-05");
}

}  // namespace
}  // namespace pelmora
