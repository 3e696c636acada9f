#include "ConfigWrite.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "NumberText.h"
#include "PacketEnvelope.h"

namespace pelmora {

namespace {

void AppendAddress(ElementList& list, std::uint8_t tag, const std::optional<Ipv4Host>& address) {
    if (!address) return;
    const Ipv4Octets octets = ToOctets(*address);
    AppendElement(list, tag, octets.bytes.data(), octets.bytes.size());
}

void ReplaceHashes(std::string& text) { std::replace(text.begin(), text.end(), '#', '_'); }

}  // namespace

std::int32_t DeviceIdForWrite(const std::string& deviceIdText) {
    // The dialog turns this text into -1 before a write; it must never go out as the 0 it converts to.
    if (deviceIdText == FACTORY_DEFAULT_TEXT) return FACTORY_DEFAULT_DEVICE_ID;
    const int value = ConvertDecimal(deviceIdText);
    if (value < 0 || value >= DEVICE_ID_LIMIT) return FACTORY_DEFAULT_DEVICE_ID;
    return value;
}

bool BuildConfigPayload(ElementList& list, ConfigFields& fields) {
    const long mac = FindElement(list, TAG_MAC, MAC_LENGTH);
    if (mac < 0) return false;
    const ElementList old = std::move(list);
    list.clear();
    AppendElement(list, TAG_MAC, old.data() + mac, MAC_LENGTH);

    if (!fields.dhcp) {
        AppendAddress(list, TAG_WRITE_ADDRESS, fields.address);
        AppendAddress(list, TAG_WRITE_SUBNET_MASK, fields.subnetMask);
        AppendAddress(list, TAG_WRITE_GATEWAY, fields.gateway);
        AppendAddress(list, TAG_WRITE_DNS, fields.dns);
    }
    ReplaceHashes(fields.name);
    if (!fields.name.empty()) AppendTextElement(list, TAG_TEXT_102, fields.name);
    ReplaceHashes(fields.description);
    AppendTextElement(list, TAG_DESCRIPTION, fields.description);
    if (fields.pla != 0 || fields.ela != 0) {
        const std::uint8_t station[2] = {fields.pla, fields.ela};
        AppendElement(list, TAG_STATION, station, sizeof station);
    }
    const std::uint8_t dhcp = fields.dhcp ? 1 : 0;
    AppendElement(list, TAG_DHCP, &dhcp, 1);

    const auto id = static_cast<std::uint32_t>(DeviceIdForWrite(fields.deviceIdText));
    const std::uint8_t idBytes[4] = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8),
                                     static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 24)};
    AppendElement(list, TAG_DEVICE_ID, idBytes, sizeof idBytes);
    AppendTextElement(list, TAG_DEVICE_NAME, fields.name);
    if (fields.port != 0) {
        const auto port = static_cast<std::uint16_t>(fields.port);
        const std::uint8_t portBytes[2] = {static_cast<std::uint8_t>(port), static_cast<std::uint8_t>(port >> 8)};
        AppendElement(list, TAG_BACNET_PORT, portBytes, sizeof portBytes);
    }
    if (!fields.foreignDevice) fields.bbmdAddress.clear();
    AppendTextElement(list, TAG_BBMD_ADDRESS, fields.bbmdAddress);
    ReplaceHashes(fields.location);
    AppendTextElement(list, TAG_LOCATION, fields.location);
    const std::uint8_t debug[4] = {0, 0, 0, static_cast<std::uint8_t>(fields.debug ? 1 : 0)};
    AppendElement(list, TAG_DEBUG, debug, sizeof debug);
    return true;
}

void SendConfig(DeviceNetwork& network, ElementList& list, ConfigFields& fields, Ipv4Host destination) {
    if (!BuildConfigPayload(list, fields)) return;
    std::vector<std::uint8_t> payload(2 + list.size());
    payload[1] = CMD_CONFIG_WRITE;
    std::copy(list.begin(), list.end(), payload.begin() + 2);
    network.SendTwice(payload, destination);
    network.FlushArpEntries(destination);
    network.FlushArpEntries(BROADCAST_ADDRESS);
    std::this_thread::sleep_for(AFTER_FLUSH_PAUSE);
}

void WriteConfiguration(EditHost& host, const std::uint8_t (&mac)[6], Ipv4Host currentAddress, ConfigFields& fields) {
    const std::string key = MacKey(mac);
    SendConfig(host.Network(), host.Replies()[key], fields, currentAddress);
    std::this_thread::sleep_for(BETWEEN_DESTINATIONS_PAUSE);
    SendConfig(host.Network(), host.Replies()[key], fields, BROADCAST_ADDRESS);
}

}  // namespace pelmora
