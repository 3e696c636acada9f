// The temporary address: which adapter gets it, how it is made, and that it goes with its holder.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <set>

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

TEST(TemporaryAddressFromDraws, SecondToFourthDrawShiftedByTwoGiveTheLastThreeOctets) {
    std::deque<int> draws = {0x7FFFFFFF, 0x4 << 2 | 3, 0x1FF << 2, 0x2A << 2 | 1};
    int used = 0;
    const Ipv4Octets address = TemporaryAddressFromDraws([&] {
        ++used;
        const int v = draws.front();
        draws.pop_front();
        return v;
    });
    EXPECT_EQ(address, (Ipv4Octets{{10, 0x04, 0xFF, 0x2A}}));
    EXPECT_EQ(used, 4);
}

TEST(TemporaryAddressFromDraws, ALastOctetOfZeroOr255IsDrawnAgain) {
    std::deque<int> draws = {1, 8, 12, 0, 255 << 2, 0x300 << 2, 7 << 2};
    const Ipv4Octets address = TemporaryAddressFromDraws([&] {
        const int v = draws.front();
        draws.pop_front();
        return v;
    });
    EXPECT_EQ(address, (Ipv4Octets{{10, 2, 3, 7}}));
    EXPECT_TRUE(draws.empty());
}

TEST(TemporaryAddress, AddsA24OnTheChosenAdapterAndDeletesItWithTheHolder) {
    FakeAddressPlatform platform;
    platform.adapters = std::vector<AdapterInfo>{Adapter(1, false), Adapter(2, true, {Net(192, 168, 92, 1)}),
                                                 Adapter(5, true), Adapter(6, true)};
    {
        const TemporaryAddress holder(platform);
        ASSERT_EQ(platform.added.size(), 1u) << "only the first qualifying adapter is tried";
        EXPECT_EQ(platform.added[0].ifIndex, 5);
        EXPECT_EQ(platform.added[0].address.bytes[0], 10);
        EXPECT_NE(platform.added[0].address.bytes[3], 0);
        EXPECT_NE(platform.added[0].address.bytes[3], 255);
        EXPECT_EQ(platform.added[0].mask, (Ipv4Octets{{255, 255, 255, 0}}));
        EXPECT_TRUE(holder.Holds());
        EXPECT_TRUE(platform.deleted.empty());
    }
    ASSERT_EQ(platform.deleted.size(), 1u);
    EXPECT_EQ(platform.deleted[0].ifIndex, 5);
    EXPECT_EQ(ToOctets(platform.deleted[0].address), platform.added[0].address);
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
    EXPECT_EQ(failing.added[0].ifIndex, 3);
    EXPECT_TRUE(failing.deleted.empty());
    EXPECT_TRUE(unreadable.added.empty());
    EXPECT_TRUE(allAddressed.added.empty());
    EXPECT_TRUE(unreadable.deleted.empty() && allAddressed.deleted.empty());
}

// Holders made one after another get their seed from the time and their own address: the addresses
// vary, rather than repeating one fixed sequence.
TEST(TemporaryAddress, AddressesVaryBetweenHolders) {
    std::vector<std::unique_ptr<FakeAddressPlatform>> platforms;
    std::vector<std::unique_ptr<TemporaryAddress>> holders;
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 20; ++i) {
        platforms.push_back(std::make_unique<FakeAddressPlatform>());
        platforms.back()->adapters = std::vector<AdapterInfo>{Adapter(2, true)};
        holders.push_back(std::make_unique<TemporaryAddress>(*platforms.back()));
        ASSERT_EQ(platforms.back()->added.size(), 1u);
        seen.insert(ToHost(platforms.back()->added[0].address).value);
    }
    EXPECT_GT(seen.size(), 1u);
}

}  // namespace
}  // namespace pelmora::test
