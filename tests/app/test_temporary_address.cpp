// The temporary address: which adapter gets it, and that it goes with its holder.
#include <gtest/gtest.h>

#include "app/TemporaryAddress.h"
#include "tests/app/FakeAddressPlatform.h"

namespace pelmora::test {
namespace {

TEST(ChooseTemporaryAdapter, TheFirstEthernetAdapterWithoutAnAddressWins) {
    const std::vector<AdapterInfo> adapters = {
        Adapter(1, false),                                      // loopback and the like: not Ethernet
        Adapter(0, true),                                       // no interface index
        Adapter(2, true, {Net(192, 168, 92, 1)}),               // addressed
        Adapter(3, true, {std::nullopt, Net(169, 254, 3, 4)}),  // a self-assigned address counts too
        Adapter(4, true, {Net(0, 0, 0, 0), std::nullopt}),      // 0.0.0.0 and empty entries do not count
        Adapter(5, true),
    };
    EXPECT_EQ(ChooseTemporaryAdapter(adapters), std::optional<std::size_t>{4});
    EXPECT_EQ(ChooseTemporaryAdapter({Adapter(7, true), Adapter(8, true)}), std::optional<std::size_t>{0});
    EXPECT_EQ(ChooseTemporaryAdapter({Adapter(0, true), Adapter(1, false), Adapter(2, true, {Net(10, 1, 2, 3)})}),
              std::nullopt);
    EXPECT_EQ(ChooseTemporaryAdapter({}), std::nullopt);
}

// Adapters as Windows describes them (GetIfEntry2), marked by the shared rule.
TEST(ChooseTemporaryAdapter, AConnectedHardwareAdapterWinsElseTheFirstHardwareOneAndNeverAVirtualOne) {
    enum Kind { HARDWARE, VIRTUAL, BLUETOOTH, NOT_ETHERNET };
    struct Row {
        Kind kind;
        bool connected;
        std::vector<std::optional<Ipv4Net>> unicast;
    };
    const auto windows = [](const std::vector<Row>& rows) {
        std::vector<AdapterInfo> adapters;
        for (const Row& row : rows) {
            AdapterInfo adapter = Adapter(static_cast<int>(adapters.size()) + 2, false, row.unicast);
            adapter.arpEther = row.kind != NOT_ETHERNET;
            adapter.hasBusDevice = row.kind != VIRTUAL;
            adapter.wireless = row.kind == BLUETOOTH;
            adapter.connected = row.connected;
            adapters.push_back(adapter);
        }
        MarkEthernetAdapters(adapters);
        return ChooseTemporaryAdapter(adapters);
    };
    const std::optional<std::size_t> none;
    struct Case {
        const char* what;
        std::vector<Row> rows;
        std::optional<std::size_t> chosen;
    };
    const Case cases[] = {
        {"an unplugged port listed before the cabled one", {{HARDWARE, false, {}}, {HARDWARE, true, {}}}, 1},
        {"none cabled: the first hardware one", {{HARDWARE, false, {}}, {HARDWARE, false, {}}}, 0},
        {"a connected TAP adapter", {{VIRTUAL, true, {}}, {HARDWARE, false, {}}}, 1},
        {"a connected Bluetooth PAN adapter", {{BLUETOOTH, true, {}}, {HARDWARE, false, {}}}, 1},
        {"only virtual ones", {{VIRTUAL, true, {}}, {VIRTUAL, false, {}}}, none},
        {"not of type 6", {{NOT_ETHERNET, true, {}}}, none},
        {"a cabled one with an address",
         {{HARDWARE, true, {Net(192, 168, 1, 5)}}, {HARDWARE, false, {}}, {HARDWARE, true, {}}},
         2},
        {"listed as 0.0.0.0", {{HARDWARE, false, {}}, {HARDWARE, true, {Net(0, 0, 0, 0)}}}, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(windows(c.rows), c.chosen) << c.what;
}

TEST(TemporaryAddress, AddsOnTheChosenAdapterAndDeletesWhatWasAddedWithTheHolder) {
    FakeAddressPlatform platform;
    platform.adapters = std::vector<AdapterInfo>{Adapter(1, false), Adapter(2, true, {Net(192, 168, 92, 1)}),
                                                 Adapter(5, true), Adapter(6, true)};
    {
        const TemporaryAddress holder(platform);
        EXPECT_EQ(platform.added, std::vector<int>{5}) << "only the first qualifying adapter is tried";
        EXPECT_TRUE(holder.Holds());
        EXPECT_TRUE(platform.deleted.empty());
    }
    ASSERT_EQ(platform.deleted.size(), 1u);
    EXPECT_EQ(platform.deleted[0].ifIndex, 5);
    EXPECT_EQ(platform.deleted[0].address, platform.drawn) << "the address the platform drew";
}

TEST(TemporaryAddress, NothingIsDeletedWhenNothingWasAdded) {
    FakeAddressPlatform failing;
    failing.adapters = std::vector<AdapterInfo>{Adapter(3, true), Adapter(4, true)};
    failing.addSucceeds = false;
    FakeAddressPlatform unreadable;
    unreadable.adapters.reset();
    FakeAddressPlatform allAddressed;
    allAddressed.adapters = std::vector<AdapterInfo>{Adapter(2, true, {Net(169, 254, 1, 1)})};
    {
        const TemporaryAddress a(failing);
        const TemporaryAddress b(unreadable);
        const TemporaryAddress c(allAddressed);
        EXPECT_FALSE(a.Holds());
        EXPECT_FALSE(b.Holds());
        EXPECT_FALSE(c.Holds());
    }
    ASSERT_EQ(failing.added.size(), 1u) << "a failed add is not retried on the next adapter";
    EXPECT_EQ(failing.added[0], 3);
    EXPECT_TRUE(failing.deleted.empty());
    EXPECT_TRUE(unreadable.added.empty());
    EXPECT_TRUE(allAddressed.added.empty());
    EXPECT_TRUE(unreadable.deleted.empty() && allAddressed.deleted.empty());
}

}  // namespace
}  // namespace pelmora::test
