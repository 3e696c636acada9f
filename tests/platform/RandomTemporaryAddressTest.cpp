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

// Draws that offer 10.2.3.9 and 10.200.7.9 in turn, for as long as they are asked.
std::function<int()> TwoCandidates(int& used) {
    return [&used] {
        static constexpr int VALUES[] = {0, 2 << 2, 3 << 2, 9 << 2, 0, 200 << 2, 7 << 2, 9 << 2};
        return VALUES[used++ % 8];
    };
}

// The address rows and routes as each platform lists them. Windows lists an adapter without an address
// as 0.0.0.0/0, and its route table holds the default route, the loopback and multicast routes, a host
// and a broadcast route per address, and a VPN's routes.
TEST(DrawFreeTemporaryAddress, TheSubnetsThePcReachesAreNotDrawnAndRowsOfNoAddressBlockNothing) {
    const AddressRow lan = {3, Net(192, 168, 1, 5), 24};
    const std::vector<RouteRow> windowsRoutes = {{Net(0, 0, 0, 0), 0, {Net(192, 168, 1, 1)}},
                                                 {Net(127, 0, 0, 0), 8, {}},
                                                 {Net(127, 0, 0, 1), 32, {}},
                                                 {Net(224, 0, 0, 0), 4, {}},
                                                 {Net(255, 255, 255, 255), 32, {}},
                                                 {Net(192, 168, 1, 0), 24, {}},
                                                 {Net(192, 168, 1, 5), 32, {}},
                                                 {Net(192, 168, 1, 255), 32, {}},
                                                 {Net(10, 0, 0, 0), 8, {}}};
    const auto with = [&](std::vector<RouteRow> more) {
        more.insert(more.begin(), windowsRoutes.begin(), windowsRoutes.end());
        return more;
    };
    const Ipv4Octets first{{10, 2, 3, 9}};
    const Ipv4Octets second{{10, 200, 7, 9}};
    struct Case {
        const char* what;
        std::vector<AddressRow> addresses;
        std::vector<RouteRow> routes;
        std::optional<Ipv4Octets> drawn;
        int draws;  // values taken from rand()
    };
    const Case cases[] = {
        {"an adapter listed as 0.0.0.0/0", {{5, Net(0, 0, 0, 0), 0}, lan}, windowsRoutes, first, 4},
        {"a local address's /24", {{2, Net(10, 2, 3, 200), 24}, lan}, {}, second, 8},
        {"an address with mask 0 keeps its own /24", {{2, Net(10, 2, 3, 7), 0}}, {}, second, 8},
        {"a VPN's route 10.0.0.0/9 on Windows", {lan}, with({{Net(10, 0, 0, 0), 9, {Net(10, 255, 0, 1)}}}), second, 8},
        {"a host route", {}, {{Net(10, 2, 3, 77), 32, {}}}, second, 8},
        {"a VPN's routes over all of 10.0.0.0/8",
         {lan},
         with({{Net(10, 0, 0, 0), 9, {}}, {Net(10, 128, 0, 0), 9, {}}}),
         std::nullopt,
         4 * MAX_TEMPORARY_DRAWS},
    };
    for (const Case& c : cases) {
        int used = 0;
        EXPECT_EQ(DrawFreeTemporaryAddress(TwoCandidates(used), ReachedSubnets(c.addresses, c.routes)), c.drawn)
            << c.what;
        EXPECT_EQ(used, c.draws) << c.what;
    }
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
