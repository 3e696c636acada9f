// What the network helper agrees to do, through a fake host and links set by the test.
#include <gtest/gtest.h>

#include <vector>

#include "helper/HelperSession.h"
#include "tests/support/FakeClock.h"

namespace pelmora::test {
namespace {

AdapterInfo Link(int ifIndex, std::string kind = "veth") {
    AdapterInfo link;
    link.ifIndex = ifIndex;
    link.arpEther = true;
    link.kind = std::move(kind);
    return link;
}

class FakeHost final : public HelperHost {
public:
    std::optional<std::vector<AdapterInfo>> links;
    std::vector<Subnet> reached;
    std::vector<AddressContext> added;
    std::vector<AddressContext> renewed;
    std::vector<AddressContext> deleted;
    int flushes = 0;
    int locks = 0;
    bool locked = false;
    bool lockSucceeds = true;
    bool deleteSucceeds = true;
    // Runs after an add, as a racing process would.
    std::function<void(std::vector<AdapterInfo>&)> afterAdd;

    std::optional<std::vector<AdapterInfo>> ListLinks() override { return links; }
    std::optional<std::vector<Subnet>> ReachedSubnets() override { return reached; }
    std::optional<AddressContext> AddAddress(int ifIndex, Ipv4Net address, std::chrono::seconds lifetime) override {
        EXPECT_TRUE(locked) << "adds run under the lock";
        EXPECT_EQ(lifetime, TEMPORARY_LIFETIME);
        added.push_back(AddressContext{ifIndex, address, TEMPORARY_PREFIX});
        for (AdapterInfo& link : *links)
            if (link.ifIndex == ifIndex) link.unicast.emplace_back(address);
        if (afterAdd) afterAdd(*links);
        return added.back();
    }
    bool RenewAddress(const AddressContext& context, std::chrono::seconds) override {
        renewed.push_back(context);
        return true;
    }
    bool DeleteAddress(const AddressContext& context) override {
        deleted.push_back(context);
        return deleteSucceeds;
    }
    std::optional<std::size_t> DeleteNeighbours(Ipv4Net) override {
        ++flushes;
        return 2;
    }
    bool LockAdds() override {
        ++locks;
        locked = lockSucceeds;
        return lockSucceeds;
    }
    void UnlockAdds() override { locked = false; }
};

class HelperSessionTest : public ::testing::Test {
protected:
    HelperSessionTest() {
        AdapterInfo wireless = Link(3);
        wireless.wireless = true;
        AdapterInfo port = Link(4);
        port.masterIndex = 5;
        AdapterInfo bridge = Link(5, "bridge");
        bridge.isBridge = true;
        AdapterInfo addressed = Link(6);
        addressed.unicast = {ToNet(Ipv4Octets{{169, 254, 0, 7}})};
        AdapterInfo loopback = Link(1, "");
        loopback.arpEther = false;
        AdapterInfo unaddressed = Link(7);
        unaddressed.unicast = {std::nullopt, ToNet(Ipv4Octets{{0, 0, 0, 0}})};
        AdapterInfo physical = Link(8, "");
        physical.hasBusDevice = true;
        AdapterInfo vlan = Link(9, "vlan");
        vlan.lowerIndex = 8;
        AdapterInfo vlanOnVeth = Link(10, "vlan");
        vlanOnVeth.lowerIndex = 7;
        host.links =
            std::vector<AdapterInfo>{loopback,        wireless,          port,        bridge,     addressed,
                                     unaddressed,     physical,          vlan,        vlanOnVeth, Link(11, "macvlan"),
                                     Link(12, "tun"), Link(13, "vxlan"), Link(14, "")};
    }

    Ipv4Octets HeldOctets() const { return ToOctets(session.Held()->address); }

    FakeHost host;
    FakeClock clock;
    HelperSession session{host, clock};
};

TEST_F(HelperSessionTest, AnAddDrawsAFreeSlash24AndHoldsItUntilDeletedOrReleased) {
    host.reached = {{ToNet(Ipv4Octets{{10, 0, 0, 0}}), 9}};  // all of 10.0.0.0 to 10.127.255.255
    const std::string reply = session.Handle("ADD 7");
    ASSERT_TRUE(session.Held()) << reply;
    EXPECT_EQ(reply, "OK " + ToText(session.Held()->address) + "/24");
    EXPECT_EQ(HeldOctets().bytes[0], 10);
    EXPECT_GE(HeldOctets().bytes[1], 128) << "drawn again while inside a reached subnet";
    EXPECT_NE(HeldOctets().bytes[3], 0);
    EXPECT_NE(HeldOctets().bytes[3], 255);
    EXPECT_FALSE(host.locked) << "the lock is let go after the add";
    const std::string held = ToText(session.Held()->address);
    EXPECT_EQ(session.Handle("ADD 7"), "ERR an address is already held: " + held);
    EXPECT_EQ(session.Handle("DEL 7 " + held + "/16"), "ERR not the address this helper added");

    host.deleteSucceeds = false;
    EXPECT_EQ(session.Handle("DEL 7 " + held + "/24"), "ERR the kernel did not delete the address");
    EXPECT_TRUE(session.Held()) << "kept, so that the end tries again";
    host.deleteSucceeds = true;
    EXPECT_EQ(session.Handle("DEL 7 " + held + "/24"), "OK");
    session.Release();
    EXPECT_EQ(host.deleted.size(), 2u) << "nothing held, nothing deleted at the end";
    EXPECT_EQ(session.Handle("ADD 9"), "OK " + ToText(host.added.back().address) + "/24") << "a VLAN on an adapter";
    session.Release();
    ASSERT_EQ(host.deleted.size(), 3u);
    EXPECT_EQ(host.deleted.back().ifIndex, 9);
}

TEST_F(HelperSessionTest, RefusalsAddNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"ADD 7 10.20.30.53/24", "ERR the helper draws the address itself: ADD <ifindex>"},
        {"ADD 1", "ERR not an Ethernet link"},
        {"ADD 3", "ERR a wireless link"},
        {"ADD 4", "ERR the link is enslaved to a bridge, bond, team or VRF"},
        {"ADD 5", "ERR the link is a bridge"},
        {"ADD 6", "ERR the link holds an IPv4 address"},
        {"ADD 10", "ERR a VLAN on other than a physical adapter or bond"},
        {"ADD 11", "ERR a virtual link of kind macvlan"},
        {"ADD 12", "ERR a virtual link of kind tun"},
        {"ADD 13", "ERR a virtual link of kind vxlan"},
        {"ADD 14", "ERR a virtual link without a device behind it"},
        {"ADD 99", "ERR no such link"},
        {"ROUTE ADD default", "ERR unknown command"},
        {"DEL 7 10.20.30.40/24", "ERR not the address this helper added"},
    };
    for (const auto& [request, reply] : cases) EXPECT_EQ(session.Handle(request), reply) << request;
    host.reached = {{ToNet(Ipv4Octets{{10, 0, 0, 0}}), 8}};
    EXPECT_EQ(session.Handle("ADD 7"), "ERR every drawn /24 overlaps a subnet this PC reaches");
    host.reached.clear();
    host.lockSucceeds = false;
    EXPECT_EQ(session.Handle("ADD 7"), "ERR another helper is adding an address");
    host.links.reset();
    host.lockSucceeds = true;
    EXPECT_EQ(session.Handle("ADD 7"), "ERR cannot read the links");
    EXPECT_TRUE(host.added.empty());
    EXPECT_FALSE(session.Held());
}

TEST_F(HelperSessionTest, AnAddressRacedOntoTheLinkMakesTheHelperTakeItsOwnBack) {
    host.afterAdd = [](std::vector<AdapterInfo>& links) {
        links[5].unicast.emplace_back(ToNet(Ipv4Octets{{10, 9, 9, 9}}));
    };
    EXPECT_EQ(session.Handle("ADD 7"), "ERR another IPv4 address appeared on the link");
    ASSERT_EQ(host.added.size(), 1u);
    ASSERT_EQ(host.deleted.size(), 1u);
    EXPECT_EQ(host.deleted[0].address, host.added[0].address);
    EXPECT_FALSE(session.Held());
}

TEST_F(HelperSessionTest, TheHeldAddressIsRenewedWellWithinItsLifetime) {
    EXPECT_FALSE(session.NextRenewal());
    ASSERT_EQ(session.Handle("ADD 7").rfind("OK", 0), 0u);
    ASSERT_TRUE(session.NextRenewal());
    EXPECT_LE(*session.NextRenewal() - clock.Now(), TEMPORARY_LIFETIME / 2);
    session.RenewIfDue();
    EXPECT_TRUE(host.renewed.empty()) << "not due yet";
    clock.Advance(*session.NextRenewal());
    session.RenewIfDue();
    ASSERT_EQ(host.renewed.size(), 1u);
    EXPECT_EQ(host.renewed[0].address, session.Held()->address);
    EXPECT_EQ(*session.NextRenewal(), clock.Now() + RENEW_INTERVAL);
}

TEST_F(HelperSessionTest, ARenewalGoesOnlyToOurAddressAloneOnItsLink) {
    const Ipv4Net other = ToNet(Ipv4Octets{{192, 168, 50, 7}});
    struct Case {
        const char* what;
        bool deleted;  // someone deleted ours
        bool added;    // someone gave the link another address
        bool unreadable;
        bool renewed, deletedByHelper, held;
    } cases[] = {
        {"alone", false, false, false, true, false, true},
        {"deleted", true, false, false, false, false, false},
        {"deleted, another added", true, true, false, false, false, false},
        {"another beside ours", false, true, false, false, true, false},
        {"links unreadable", false, false, true, false, false, true},
    };
    for (const Case& c : cases) {
        FakeHost fake;
        fake.links = std::vector<AdapterInfo>{Link(7)};
        HelperSession s{fake, clock};
        ASSERT_EQ(s.Handle("ADD 7").rfind("OK", 0), 0u) << c.what;
        auto& unicast = (*fake.links)[0].unicast;
        if (c.deleted) unicast.clear();
        if (c.added) unicast.emplace_back(other);
        if (c.unreadable) fake.links.reset();
        clock.Advance(RENEW_INTERVAL);
        s.RenewIfDue();
        EXPECT_EQ(fake.renewed.size(), c.renewed ? 1u : 0u) << c.what;
        EXPECT_EQ(fake.deleted.size(), c.deletedByHelper ? 1u : 0u) << c.what;
        EXPECT_EQ(s.Held().has_value(), c.held) << c.what;
        // Never again, even once the link is bare as before.
        fake.links = std::vector<AdapterInfo>{Link(7)};
        if (!c.held) {
            clock.Advance(RENEW_INTERVAL);
            s.RenewIfDue();
            EXPECT_EQ(fake.renewed.size(), 0u) << c.what;
        }
    }
}

TEST_F(HelperSessionTest, FlushesAreSpacedToAFewASecond) {
    for (std::size_t i = 0; i < FLUSHES_PER_SECOND; ++i) EXPECT_EQ(session.Handle("FLUSH 192.168.92.10"), "OK 2");
    EXPECT_EQ(clock.sleeps, 0) << "a write's few flushes go at once";
    const auto start = clock.Now();
    for (int i = 0; i < 40; ++i) session.Handle("FLUSH 192.168.92.10");
    EXPECT_EQ(host.flushes, 44);
    EXPECT_GE(clock.Now() - start, std::chrono::seconds(40 / FLUSHES_PER_SECOND));
}

}  // namespace
}  // namespace pelmora::test
