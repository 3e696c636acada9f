#include "FakeDeviceNetwork.h"

namespace pelmora::test {

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

void FakeDeviceNetwork::SendWink(const ElementList& list) { winks.push_back(list); }

namespace {

void AppendBe32(ElementList& list, std::uint8_t tag, std::uint32_t value) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                                   static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    AppendElement(list, tag, bytes, 4);
}

}  // namespace

ElementList ReplyOf(const FakeDevice& device) {
    ElementList list;
    AppendElement(list, TAG_MAC, device.mac, 6);
    AppendBe32(list, 34, device.revision);
    AppendBe32(list, 36, device.bacnet ? FEATURE_BACNET : 0);
    AppendElement(list, 64, device.ip.bytes.data(), 4);
    const std::uint8_t station[2] = {device.pla, device.ela};
    AppendElement(list, 105, station, 2);
    if (device.bacnet) {
        const auto id = static_cast<std::uint32_t>(device.deviceId);
        const std::uint8_t idBytes[4] = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8),
                                         static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 24)};
        AppendElement(list, 124, idBytes, 4);
        AppendTextElement(list, 126, device.name);
        AppendTextElement(list, 129, device.location);
    } else {
        // Texts a device without BACnet may still carry; the list must not show them.
        AppendTextElement(list, 126, "hidden name");
        AppendTextElement(list, 129, "hidden place");
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
