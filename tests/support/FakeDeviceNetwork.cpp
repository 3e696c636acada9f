#include "tests/support/FakeDeviceNetwork.h"

#include "protocol/WireFormat.h"

namespace pelmora::test {

std::vector<NetworkCall> FakeDeviceNetwork::Sends() const {
    std::vector<NetworkCall> sends;
    for (const NetworkCall& call : calls)
        if (call.kind == NetworkCall::Kind::Send) sends.push_back(call);
    return sends;
}

std::optional<InterfaceTable> FakeDeviceNetwork::ReadInterfaceTable() {
    ++readTableCalls;
    return table;
}

bool FakeDeviceNetwork::Discover(const InterfaceTable& interfaces, Ipv4Host destination, ReplyStore& replies) {
    ++discoverCalls;
    destinations.push_back(destination);
    tableRowsAtDiscover.push_back(interfaces.rows.size());
    if (duringDiscover) duringDiscover();
    if (!discoverSucceeds) return false;
    for (const auto& [key, list] : heard) replies.insert_or_assign(key, list);
    return true;
}

void FakeDeviceNetwork::SendWink(const ElementList& list, Ipv4Host) { winks.push_back(list); }

bool FakeDeviceNetwork::SendOnce(const std::vector<std::uint8_t>& payload, Ipv4Host destination) {
    if (!sendSucceeds) return false;
    calls.push_back({NetworkCall::Kind::Send, payload, destination, clock.Now()});
    return true;
}

void FakeDeviceNetwork::FlushArpEntries(Ipv4Host address) {
    calls.push_back({NetworkCall::Kind::Flush, {}, address, clock.Now()});
}

namespace {

void AppendBe32(ElementList& list, ElementSpec kind, std::uint32_t value) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                                   static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    AppendElement(list, kind.tag, bytes, 4);
}

}  // namespace

ElementList ReplyOf(const FakeDevice& device) {
    ElementList list;
    AppendElement(list, reply::MAC.tag, device.mac, 6);
    AppendBe32(list, reply::REVISION, device.revision);
    AppendBe32(list, reply::FEATURES, device.bacnet ? FEATURE_BACNET : 0);
    AppendElement(list, reply::IP_ADDRESS.tag, device.ip.bytes.data(), 4);
    const std::uint8_t station[2] = {device.pla, device.ela};
    AppendElement(list, reply::STATION.tag, station, 2);
    if (device.bacnet) {
        const auto id = static_cast<std::uint32_t>(device.deviceId);
        const std::uint8_t idBytes[4] = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8),
                                         static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 24)};
        AppendElement(list, reply::DEVICE_ID.tag, idBytes, 4);
        AppendTextElement(list, reply::DEVICE_NAME.tag, device.name);
        AppendTextElement(list, reply::LOCATION.tag, device.location);
    } else {
        // Texts a device without BACnet may still carry; the list must not show them.
        AppendTextElement(list, reply::DEVICE_NAME.tag, "hidden name");
        AppendTextElement(list, reply::LOCATION.tag, "hidden place");
    }
    return list;
}

ReplyStore ManyDevices(int n) {
    ReplyStore replies;
    for (int i = 1; i <= n; ++i) {
        FakeDevice device;
        device.mac[4] = static_cast<std::uint8_t>(i >> 8);
        device.mac[5] = static_cast<std::uint8_t>(i);
        device.ip = Ipv4Octets{{192, 168, 92, static_cast<std::uint8_t>(i % 250 + 2)}};
        device.bacnet = i % 2 == 1;
        device.deviceId = 100000 + i;
        device.name = "SIM-" + std::to_string(i);
        const ElementList list = ReplyOf(device);
        replies.emplace(MacKey(list), list);
    }
    return replies;
}

}  // namespace pelmora::test
