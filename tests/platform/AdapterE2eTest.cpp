#include <net/if.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Adapters.h"
#include "platform/AddressTable.h"
#include "tests/platform/SocketHelpers.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

class AdapterE2e : public LabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.extraAdapters = 2;
        return options;
    }
};

const AdapterInfo* Find(const std::vector<AdapterInfo>& adapters, const std::string& name) {
    const auto it =
        std::find_if(adapters.begin(), adapters.end(), [&](const AdapterInfo& a) { return a.name == name; });
    return it == adapters.end() ? nullptr : &*it;
}

TEST_F(AdapterE2e, VethIsEthernetLoopbackIsNotAndAddressesSitOnTheirAdapter) {
    const auto adapters = ListAdapters();
    ASSERT_TRUE(adapters);
    ASSERT_EQ(adapters->size(), 4u) << "lo, the PC's veth and two extra adapters";
    EXPECT_TRUE(std::is_sorted(adapters->begin(), adapters->end(),
                               [](const AdapterInfo& a, const AdapterInfo& b) { return a.ifIndex < b.ifIndex; }));

    const AdapterInfo* lo = Find(*adapters, "lo");
    ASSERT_NE(lo, nullptr);
    EXPECT_FALSE(lo->isEthernet);
    EXPECT_EQ(lo->unicast, (std::vector<std::optional<Ipv4Net>>{Address(127, 0, 0, 1)}));

    const AdapterInfo* pc = Find(*adapters, TheLab().PcInterface());
    ASSERT_NE(pc, nullptr);
    EXPECT_TRUE(pc->isEthernet);
    EXPECT_EQ(pc->ifIndex, static_cast<int>(if_nametoindex(TheLab().PcInterface().c_str())));
    EXPECT_EQ(pc->unicast, (std::vector<std::optional<Ipv4Net>>{Lab::DefaultPcAddress()}));

    for (int n = 1; n <= 2; ++n) {
        const AdapterInfo* extra = Find(*adapters, TheLab().ExtraInterface(n));
        ASSERT_NE(extra, nullptr) << n;
        EXPECT_TRUE(extra->isEthernet);
        EXPECT_TRUE(extra->unicast.empty()) << "an extra adapter has no IPv4 address";
    }
}

TEST_F(AdapterE2e, ABridgeAndItsPortsAreNotEthernetAdapters) {
    std::optional<std::vector<AdapterInfo>> adapters;
    InNode("sw", [&] { adapters = ListAdapters(); });
    ASSERT_TRUE(adapters);
    const AdapterInfo* bridge = Find(*adapters, TheLab().Prefix() + "br");
    ASSERT_NE(bridge, nullptr);
    EXPECT_TRUE(bridge->arpEther) << "a bridge reports ARPHRD_ETHER";
    EXPECT_TRUE(bridge->isBridge);
    EXPECT_FALSE(bridge->isEthernet);
    const AdapterInfo* port = Find(*adapters, TheLab().Prefix() + "spc");
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(port->arpEther);
    EXPECT_EQ(port->masterIndex, bridge->ifIndex);
    EXPECT_FALSE(port->isBridge);
    EXPECT_FALSE(port->isEthernet);
}

TEST_F(AdapterE2e, SecondAddressOnAnAdapterIsListedInOrder) {
    const int index = static_cast<int>(if_nametoindex(TheLab().PcInterface().c_str()));
    ASSERT_TRUE(AddIpv4Address(index, Address(192, 168, 92, 100), Address(255, 255, 255, 0)));
    const auto adapters = ListAdapters();
    ASSERT_TRUE(adapters);
    const AdapterInfo* pc = Find(*adapters, TheLab().PcInterface());
    ASSERT_NE(pc, nullptr);
    EXPECT_EQ(pc->unicast, (std::vector<std::optional<Ipv4Net>>{Lab::DefaultPcAddress(), Address(192, 168, 92, 100)}));
}

}  // namespace
}  // namespace pelmora::test
