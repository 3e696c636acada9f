#include <net/if.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Neighbours.h"
#include "tests/platform/SocketHelpers.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

class NeighbourE2e : public LabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.extraAdapters = 1;
        return options;
    }
    void AddNeighbour(const std::string& address, const std::string& mac, const std::string& dev,
                      const std::string& state = "stale") {
        const CommandResult added = RunInPc({"ip", "neigh", "add", address, "lladdr", mac, "dev", dev, "nud", state});
        ASSERT_EQ(added.exitStatus, 0) << added.output;
    }
};

std::vector<int> InterfacesHolding(const std::vector<NeighbourEntry>& entries, Ipv4Net address) {
    std::vector<int> indexes;
    for (const NeighbourEntry& e : entries)
        if (e.address == address) indexes.push_back(e.ifIndex);
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

TEST_F(NeighbourE2e, DynamicEntriesForTheAddressGoOnEveryInterfaceAndOthersStay) {
    const std::string pcDev = TheLab().PcInterface();
    const std::string extraDev = TheLab().ExtraInterface(1);
    AddNeighbour("192.168.92.77", "02:00:00:00:00:77", pcDev);
    AddNeighbour("192.168.92.77", "02:00:00:00:01:77", extraDev);
    AddNeighbour("192.168.92.78", "02:00:00:00:00:78", pcDev);
    const Ipv4Net target = Address(192, 168, 92, 77);
    const Ipv4Net other = Address(192, 168, 92, 78);

    const auto before = ReadNeighbours();
    ASSERT_TRUE(before);
    std::vector<int> expected = {static_cast<int>(if_nametoindex(pcDev.c_str())),
                                 static_cast<int>(if_nametoindex(extraDev.c_str()))};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(InterfacesHolding(*before, target), expected);
    EXPECT_EQ(InterfacesHolding(*before, other).size(), 1u);

    EXPECT_EQ(DeleteNeighbours(target), 2u);
    const auto after = ReadNeighbours();
    ASSERT_TRUE(after);
    EXPECT_TRUE(InterfacesHolding(*after, target).empty());
    EXPECT_EQ(InterfacesHolding(*after, other).size(), 1u) << "other addresses keep their entries";
    EXPECT_EQ(DeleteNeighbours(target), 0u);
    EXPECT_EQ(DeleteNeighbours(ToNet(BROADCAST_ADDRESS)), 0u);
}

TEST_F(NeighbourE2e, TrafficMakesAnEntryThatCanBeDeleted) {
    const Ipv4Net device = Lab::DeviceAddress(1);
    std::optional<UdpSocket> deviceSocket;
    InNode("dev1", [&] { deviceSocket = OpenPortSocket(ToNet(ANY_ADDRESS), DEVICE_PORT); });
    ASSERT_TRUE(deviceSocket);
    auto pcSocket = OpenPortSocket(Lab::DefaultPcAddress(), DEVICE_PORT);
    ASSERT_TRUE(pcSocket);
    ASSERT_TRUE(SendBytes(*pcSocket, {0x00, 0x00}, device, DEVICE_PORT));
    ASSERT_TRUE(ReceiveWithin(*deviceSocket, std::chrono::seconds(3)));

    const auto before = ReadNeighbours();
    ASSERT_TRUE(before);
    EXPECT_EQ(InterfacesHolding(*before, device).size(), 1u) << "the unicast resolved the device by ARP";
    EXPECT_EQ(DeleteNeighbours(device), 1u);
    const auto after = ReadNeighbours();
    ASSERT_TRUE(after);
    EXPECT_TRUE(InterfacesHolding(*after, device).empty());
}

}  // namespace
}  // namespace pelmora::test
