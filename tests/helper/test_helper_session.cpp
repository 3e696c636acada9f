// What the network helper agrees to do, through a fake NetworkAdmin and links set by the test.
#include <gtest/gtest.h>

#include <vector>

#include "helper/HelperSession.h"

namespace pelmora::test {
namespace {

class FakeAdmin final : public NetworkAdmin {
public:
    std::vector<std::pair<int, Ipv4Net>> added;
    std::vector<AddressContext> deleted;
    std::vector<Ipv4Net> flushed;
    bool deleteSucceeds = true;

    std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) override {
        added.emplace_back(ifIndex, address);
        return AddressContext{ifIndex, address, PrefixLength(mask).value_or(0)};
    }
    bool DeleteIpv4Address(const AddressContext& context) override {
        deleted.push_back(context);
        return deleteSucceeds;
    }
    std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) override {
        flushed.push_back(address);
        return 2;
    }
};

AdapterInfo Link(int ifIndex) {
    AdapterInfo link;
    link.ifIndex = ifIndex;
    link.arpEther = true;
    link.isEthernet = true;
    return link;
}

class HelperSessionTest : public ::testing::Test {
protected:
    HelperSessionTest() {
        AdapterInfo wireless = Link(3);
        wireless.wireless = true;
        AdapterInfo port = Link(4);
        port.masterIndex = 5;
        AdapterInfo bridge = Link(5);
        bridge.isBridge = true;
        AdapterInfo addressed = Link(6);
        addressed.unicast = {ToNet(Ipv4Octets{{169, 254, 0, 7}})};
        AdapterInfo loopback = Link(1);
        loopback.arpEther = false;
        AdapterInfo unaddressed = Link(7);
        unaddressed.unicast = {std::nullopt, ToNet(Ipv4Octets{{0, 0, 0, 0}})};
        for (AdapterInfo* link : {&wireless, &port, &bridge, &addressed, &loopback, &unaddressed})
            link->isEthernet = IsEthernetAdapter(*link);
        links = std::vector<AdapterInfo>{loopback, wireless, port, bridge, addressed, unaddressed};
    }

    FakeAdmin admin;
    std::optional<std::vector<AdapterInfo>> links;
    int reads = 0;
    HelperSession session{admin, [this] {
                              ++reads;
                              return links;
                          }};
};

TEST_F(HelperSessionTest, OneAddOnAQualifyingLinkIsHeldUntilDeletedOrReleased) {
    EXPECT_EQ(session.Handle("ADD 7 10.20.30.40/24"), "OK");
    EXPECT_EQ(reads, 1) << "the links are read at the request";
    ASSERT_EQ(admin.added.size(), 1u);
    EXPECT_EQ(admin.added[0].first, 7);
    EXPECT_EQ(session.Handle("ADD 7 10.20.30.41/24"), "ERR an address is already held: 10.20.30.40");
    EXPECT_EQ(session.Handle("DEL 7 10.20.30.41/24"), "ERR not the address this helper added");
    EXPECT_EQ(session.Handle("DEL 7 10.20.30.40/16"), "ERR not the address this helper added");
    EXPECT_EQ(admin.added.size(), 1u);
    EXPECT_TRUE(admin.deleted.empty());

    admin.deleteSucceeds = false;
    EXPECT_EQ(session.Handle("DEL 7 10.20.30.40/24"), "ERR the kernel did not delete the address");
    EXPECT_TRUE(session.Held()) << "kept, so that the end tries again";
    admin.deleteSucceeds = true;
    EXPECT_EQ(session.Handle("DEL 7 10.20.30.40/24"), "OK");
    EXPECT_FALSE(session.Held());
    session.Release();
    EXPECT_EQ(admin.deleted.size(), 2u) << "nothing held, nothing deleted at the end";

    EXPECT_EQ(session.Handle("ADD 7 10.20.30.42/24"), "OK");
    session.Release();
    ASSERT_EQ(admin.deleted.size(), 3u);
    EXPECT_EQ(admin.deleted.back().address, ToNet(Ipv4Octets{{10, 20, 30, 42}}));
    EXPECT_EQ(admin.deleted.back().prefixLength, 24);
}

TEST_F(HelperSessionTest, RefusalsAddNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"ADD 7 11.20.30.40/24", "ERR only addresses in 10.0.0.0/8"},
        {"ADD 7 192.168.92.50/24", "ERR only addresses in 10.0.0.0/8"},
        {"ADD 7 10.20.30.40/16", "ERR only a /24"},
        {"ADD 7 10.20.30.40/32", "ERR only a /24"},
        {"ADD 7 10.20.30.0/24", "ERR not a host address of its /24"},
        {"ADD 7 10.20.30.255/24", "ERR not a host address of its /24"},
        {"ADD 1 10.20.30.40/24", "ERR not an Ethernet link"},
        {"ADD 3 10.20.30.40/24", "ERR a wireless link"},
        {"ADD 4 10.20.30.40/24", "ERR the link is enslaved to a bridge, bond, team or VRF"},
        {"ADD 5 10.20.30.40/24", "ERR the link is a bridge"},
        {"ADD 6 10.20.30.40/24", "ERR the link holds an IPv4 address"},
        {"ADD 9 10.20.30.40/24", "ERR no such link"},
        {"ROUTE ADD default", "ERR unknown command"},
        {"DEL 7 10.20.30.40/24", "ERR not the address this helper added"},
    };
    for (const auto& [request, reply] : cases) EXPECT_EQ(session.Handle(request), reply) << request;
    links.reset();
    EXPECT_EQ(session.Handle("ADD 7 10.20.30.40/24"), "ERR cannot read the links");
    EXPECT_TRUE(admin.added.empty());
    EXPECT_TRUE(admin.deleted.empty());
}

TEST_F(HelperSessionTest, FlushDeletesTheNeighboursOfOneAddress) {
    EXPECT_EQ(session.Handle("FLUSH 192.168.92.10"), "OK 2");
    EXPECT_EQ(admin.flushed, (std::vector<Ipv4Net>{ToNet(Ipv4Octets{{192, 168, 92, 10}})}));
    EXPECT_FALSE(session.Held());
}

}  // namespace
}  // namespace pelmora::test
