#pragma once
// A DeviceNetwork without a network, for the windows' tests: the interface table and the replies a scan
// "hears" are set by the test, and every call is recorded with the time of its FakeClock.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "protocol/DeviceNetwork.h"
#include "tests/support/FakeClock.h"

namespace pelmora::test {

struct NetworkCall {
    enum class Kind { Send, Flush } kind;
    std::vector<std::uint8_t> payload;  // Send only
    Ipv4Host address;
    Clock::TimePoint at;
};

class FakeDeviceNetwork final : public DeviceNetwork {
public:
    // What ReadInterfaceTable returns; nothing stands for a table that cannot be read.
    std::optional<InterfaceTable> table =
        InterfaceTable{{{2, ToNet(Ipv4Octets{{192, 168, 92, 1}})}, {1, ToNet(Ipv4Octets{{127, 0, 0, 1}})}}};
    // What every Discover adds to the reply store, and whether it "made its broadcast socket".
    ReplyStore heard;
    bool discoverSucceeds = true;
    // Runs inside Discover, before the replies are added: the window's state during a scan.
    std::function<void()> duringDiscover;
    // Whether SendOnce "made its socket".
    bool sendSucceeds = true;

    int readTableCalls = 0;
    int discoverCalls = 0;
    std::vector<Ipv4Host> destinations;
    std::vector<std::size_t> tableRowsAtDiscover;
    std::vector<ElementList> winks;
    // Every datagram sent and every FlushArpEntries, in order, at the time of the clock.
    std::vector<NetworkCall> calls;
    FakeClock clock;

    std::vector<NetworkCall> Sends() const;

    std::optional<InterfaceTable> ReadInterfaceTable() override;
    bool Discover(const InterfaceTable& interfaces, Ipv4Host destination, ReplyStore& replies) override;
    void SendWink(const ElementList& list, Ipv4Host destination) override;
    bool SendOnce(const std::vector<std::uint8_t>& payload, Ipv4Host destination) override;
    void FlushArpEntries(Ipv4Host address) override;
    Clock& Time() override { return clock; }
};

struct FakeDevice {
    std::uint8_t mac[6] = {0x02, 0, 0, 0, 0, 1};
    Ipv4Octets ip{{192, 168, 92, 10}};
    bool bacnet = true;
    std::int32_t deviceId = 1234;
    std::string name = "AHU 1";
    std::string location = "Roof";
    std::uint8_t pla = 1;
    std::uint8_t ela = 254;
    std::uint32_t revision = 0x01020304;
};

// The element list of a discovery reply from the device.
ElementList ReplyOf(const FakeDevice& device);
// n devices with MACs 02:00:00:00:hi:lo from 1 up, every second one without BACnet.
ReplyStore ManyDevices(int n);

}  // namespace pelmora::test
