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
