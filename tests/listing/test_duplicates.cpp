// The duplicate rules over listed records.
#include <gtest/gtest.h>

#include <memory>

#include "listing/Duplicates.h"
#include "protocol/WireFormat.h"

namespace pelmora {
namespace {

struct Device {
    std::uint8_t tail[3];  // the MAC's last three bytes
    std::uint8_t ip[4];
    bool bacnet;
    std::int32_t id;
};

std::unique_ptr<DeviceStore> Store(const std::vector<Device>& devices) {
    auto store = std::make_unique<DeviceStore>();
    for (const Device& d : devices) {
        DeviceRecord& r = *store->NewRecord();
        const std::uint8_t mac[6] = {0x00, 0x50, 0xC2, d.tail[0], d.tail[1], d.tail[2]};
        std::copy(std::begin(mac), std::end(mac), r.mac);
        std::copy(std::begin(d.ip), std::end(d.ip), r.ipAddress);
        r.featureFlags = d.bacnet ? FEATURE_BACNET : 0;
        r.deviceId = d.id;
    }
    return store;
}

TEST(Duplicates, DeviceIdsCountOnBacnetRowsOnlyAndTheFactoryDefaultByItsShownNumber) {
    const auto store = Store({
        {{0x8F, 0x10, 0x01}, {192, 168, 92, 20}, true, 4001},
        {{0x8F, 0x10, 0x07}, {192, 168, 92, 27}, false, 4001},  // no BACnet: its ID is not shown
        {{0x8F, 0x12, 0x34}, {10, 0, 0, 99}, true, -1},         // shows (4660)
        {{0x90, 0x12, 0x34}, {192, 168, 92, 37}, true, -1},     // a MAC that ends alike: (4660) too
        {{0x8F, 0x22, 0x12}, {192, 168, 92, 30}, true, 4660},   // the same instance, given by hand
        {{0x8F, 0x34, 0x12}, {192, 168, 92, 31}, true, -1},     // (13330)
    });
    const auto warnings = FindDuplicates(*store);
    ASSERT_EQ(warnings.size(), store->Count());
    EXPECT_EQ(warnings[0][COL_DEVICE_ID], "");
    EXPECT_EQ(warnings[1][COL_DEVICE_ID], "");
    EXPECT_EQ(warnings[2][COL_DEVICE_ID], "Device ID 4660 is also used by 00:50:C2:90:12:34, 00:50:C2:8F:22:12");
    EXPECT_EQ(warnings[3][COL_DEVICE_ID], "Device ID 4660 is also used by 00:50:C2:8F:12:34, 00:50:C2:8F:22:12");
    EXPECT_EQ(warnings[4][COL_DEVICE_ID], "Device ID 4660 is also used by 00:50:C2:8F:12:34, 00:50:C2:90:12:34");
    EXPECT_EQ(warnings[5][COL_DEVICE_ID], "");
    for (const RowWarnings& row : warnings) {
        for (std::size_t column = 0; column < COLUMN_COUNT; ++column) {
            if (column == COL_DEVICE_ID) continue;
            EXPECT_EQ(row[column], "") << column;
        }
    }
}

TEST(Duplicates, EveryRowSharingAnAddressIsFlaggedButNeverForTheUnsetAddress) {
    const auto store = Store({
        {{0x8F, 0x00, 0x01}, {192, 168, 1, 5}, false, 0},
        {{0x8F, 0x00, 0x02}, {0, 0, 0, 0}, true, 1},
        {{0x8F, 0x00, 0x03}, {192, 168, 1, 5}, true, 2},
        {{0x8F, 0x00, 0x04}, {0, 0, 0, 0}, false, 0},
        {{0x8F, 0x00, 0x05}, {192, 168, 1, 6}, true, 3},
        {{0x8F, 0x00, 0x07}, {192, 168, 1, 5}, true, 3},
    });
    const auto warnings = FindDuplicates(*store);
    EXPECT_EQ(warnings[0][COL_IP_ADDRESS],
              "IP address 192.168.1.5 is also used by 00:50:C2:8F:00:03, 00:50:C2:8F:00:07");
    EXPECT_EQ(warnings[2][COL_IP_ADDRESS],
              "IP address 192.168.1.5 is also used by 00:50:C2:8F:00:01, 00:50:C2:8F:00:07");
    EXPECT_EQ(warnings[5][COL_IP_ADDRESS],
              "IP address 192.168.1.5 is also used by 00:50:C2:8F:00:01, 00:50:C2:8F:00:03");
    for (const std::size_t row : {1u, 3u, 4u}) EXPECT_EQ(warnings[row][COL_IP_ADDRESS], "") << row;
    EXPECT_EQ(FlaggedHeadingsText(warnings[5]), "Device ID, IP address");
    EXPECT_EQ(FlaggedHeadings(warnings[4]), std::vector<std::string>{"Device ID"});
    EXPECT_EQ(FlaggedHeadingsText(warnings[1]), "");
}

}  // namespace
}  // namespace pelmora
