// The temporary address's draw: the octets from the draws, and a /24 the PC already reaches drawn again.
#include <gtest/gtest.h>

#include <deque>
#include <set>

#include "platform/RandomTemporaryAddress.h"

namespace pelmora::test {
namespace {

std::function<int()> Draws(std::deque<int>& draws) {
    return [&draws] {
        const int v = draws.front();
        draws.pop_front();
        return v;
    };
}

Ipv4Net Net(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return ToNet(Ipv4Octets{{a, b, c, d}}); }

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
    const Ipv4Octets address = TemporaryAddressFromDraws(Draws(draws));
    EXPECT_EQ(address, (Ipv4Octets{{10, 2, 3, 7}}));
    EXPECT_TRUE(draws.empty());
}

// Each draw takes four values; the /24s 10.2.3.0 (a local address's subnet) and 10.4.5.0 (inside a
// routed 10.4.0.0/16) are taken, 10.6.7.0 is free.
TEST(DrawFreeTemporaryAddress, ASlash24ThePcReachesIsDrawnAgain) {
    const std::vector<AddressRow> addresses = {{2, Net(10, 2, 3, 200), 24}, {1, Net(127, 0, 0, 1), 8}};
    const std::vector<RouteRow> routes = {
        {Net(10, 4, 0, 0), 16, {}}, {Net(10, 0, 0, 0), 8, {}}, {Net(0, 0, 0, 0), 0, {}}};
    const auto reached = ReachedSubnets(addresses, routes);
    std::deque<int> draws = {0, 2 << 2, 3 << 2, 9 << 2, 0, 4 << 2, 5 << 2, 9 << 2, 0, 6 << 2, 7 << 2, 9 << 2};
    EXPECT_EQ(DrawFreeTemporaryAddress(Draws(draws), reached), (Ipv4Octets{{10, 6, 7, 9}}));
    EXPECT_TRUE(draws.empty());

    const std::vector<Subnet> hostRoute = {{Net(10, 6, 6, 53), 32}};
    std::deque<int> same(MAX_TEMPORARY_DRAWS * 4, 6 << 2);
    EXPECT_EQ(DrawFreeTemporaryAddress(Draws(same), hostRoute), std::nullopt) << "gives up after the last draw";
    EXPECT_TRUE(same.empty());
}

// Seeds from holders at different addresses give different addresses, rather than one fixed sequence.
TEST(DrawTemporaryAddress, AddressesVaryWithTheSeed) {
    std::set<std::uint32_t> seen;
    int holders[20];
    for (const int& holder : holders)
        if (const auto address = DrawTemporaryAddress(TemporarySeed(1700000000, &holder), {}))
            seen.insert(ToHost(*address).value);
    EXPECT_GT(seen.size(), 1u);
}

}  // namespace
}  // namespace pelmora::test
