#include "protocol/ConfigPayload.h"

#include <algorithm>

#include "protocol/WireFormat.h"

namespace pelmora {

namespace {

void AppendAddress(ElementList& list, ElementSpec kind, const std::optional<Ipv4Host>& address) {
    if (!address) return;
    const Ipv4Octets octets = ToOctets(*address);
    AppendElement(list, kind.tag, octets.bytes.data(), kind.width);
}

void AppendLittleEndian(ElementList& list, ElementSpec kind, std::uint32_t value) {
    std::uint8_t bytes[4];
    for (std::size_t i = 0; i < kind.width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    AppendElement(list, kind.tag, bytes, kind.width);
}

void ReplaceHashes(std::string& text) { std::replace(text.begin(), text.end(), '#', '_'); }

}  // namespace

std::int32_t DeviceIdForWrite(std::int32_t deviceId) {
    if (deviceId < 0 || deviceId >= DEVICE_ID_LIMIT) return FACTORY_DEFAULT_DEVICE_ID;
    return deviceId;
}

bool BuildConfigPayload(ElementList& list, ConfigFields& fields) {
    const long mac = FindElement(list, write::MAC);
    if (mac < 0) return false;
    const ElementList old = std::move(list);
    list.clear();
    AppendElement(list, write::MAC.tag, old.data() + mac, write::MAC.width);

    if (!fields.dhcp) {
        AppendAddress(list, write::IP_ADDRESS, fields.address);
        AppendAddress(list, write::SUBNET_MASK, fields.subnetMask);
        AppendAddress(list, write::GATEWAY, fields.gateway);
        AppendAddress(list, write::DNS, fields.dns);
    }
    // The name goes out twice, as text 0x66 and as the BACnet device name 0x7E: the device keeps the
    // two apart, and the tool keeps them equal. An empty name sends no 0x66, so the device keeps that
    // text, while 0x7E goes out empty.
    ReplaceHashes(fields.name);
    if (!fields.name.empty()) AppendTextElement(list, write::TEXT_102.tag, fields.name);
    ReplaceHashes(fields.description);
    AppendTextElement(list, write::DESCRIPTION.tag, fields.description);
    // Station 0:0 and port 0 are no settings at all: leaving the element out keeps the device's own
    // value instead of writing one it cannot use.
    if (fields.pla != 0 || fields.ela != 0) {
        const std::uint8_t station[2] = {fields.pla, fields.ela};
        AppendElement(list, write::STATION.tag, station, write::STATION.width);
    }
    const std::uint8_t dhcp = fields.dhcp ? 1 : 0;
    AppendElement(list, write::DHCP.tag, &dhcp, write::DHCP.width);
    AppendLittleEndian(list, write::DEVICE_ID, static_cast<std::uint32_t>(DeviceIdForWrite(fields.deviceId)));
    AppendTextElement(list, write::DEVICE_NAME.tag, fields.name);
    if (fields.port != 0) AppendLittleEndian(list, write::BACNET_PORT, static_cast<std::uint16_t>(fields.port));
    if (!fields.foreignDevice) fields.bbmdAddress.clear();
    AppendTextElement(list, write::BBMD_ADDRESS.tag, fields.bbmdAddress);
    ReplaceHashes(fields.location);
    AppendTextElement(list, write::LOCATION.tag, fields.location);
    const std::uint8_t debug[4] = {0, 0, 0, static_cast<std::uint8_t>(fields.debug ? 1 : 0)};  // big-endian 0 or 1
    AppendElement(list, write::DEBUG.tag, debug, write::DEBUG.width);
    return true;
}

}  // namespace pelmora
