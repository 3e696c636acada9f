#include "tools/simulator/DeviceElements.h"

#include "protocol/ByteOrder.h"
#include "protocol/PacketEnvelope.h"
#include "tools/simulator/SimWire.h"

namespace pelmora {
namespace {

using namespace simwire;

void AppendAddress(ElementList& list, std::uint8_t tag, const Ipv4Octets& address) {
    AppendElement(list, tag, address.bytes.data(), 4);
}

void AppendBe32(ElementList& list, std::uint8_t tag, std::uint32_t value) {
    std::uint8_t bytes[4];
    StoreBe32(bytes, value);
    AppendElement(list, tag, bytes, 4);
}

Ipv4Octets ReadAddress(const std::uint8_t* value) { return Ipv4Octets{{value[0], value[1], value[2], value[3]}}; }

std::string ReadText(const std::uint8_t* value, std::size_t length) {
    return std::string(reinterpret_cast<const char*>(value), length);
}

}  // namespace

ElementList BuildReplyList(const SimDevice& d) {
    ElementList list;
    AppendElement(list, TAG_MAC, d.mac.data(), MAC_LENGTH);
    AppendBe32(list, R_REVISION, d.revision);
    AppendBe32(list, R_FLAGS, d.featureFlags);
    AppendAddress(list, R_IP, d.ip);
    AppendAddress(list, R_MASK, d.mask);
    AppendAddress(list, R_GATEWAY, d.gateway);
    AppendAddress(list, R_DNS1, d.dns1);
    AppendAddress(list, R_DNS2, d.dns2);
    AppendTextElement(list, R_TEXT, d.text102);
    const std::uint8_t dhcp = d.dhcp ? 1 : 0;
    AppendElement(list, R_DHCP, &dhcp, 1);
    const std::uint8_t station[2] = {d.pla, d.ela};
    AppendElement(list, R_STATION, station, 2);
    if (HasBacnet(d)) {
        std::uint8_t id[4];
        StoreLe32(id, static_cast<std::uint32_t>(d.deviceId));
        AppendElement(list, R_DEVICE_ID, id, 4);
        AppendTextElement(list, R_NAME, d.name);
        AppendTextElement(list, R_DESCRIPTION, d.description);
        AppendTextElement(list, R_LOCATION, d.location);
        std::uint8_t port[2];
        StoreLe16(port, d.bacnetPort);
        AppendElement(list, R_PORT, port, 2);
        AppendTextElement(list, R_BBMD, d.bbmd);
        AppendBe32(list, R_DEBUG, d.debugFlags);
    }
    list.insert(list.end(), d.extraElements.begin(), d.extraElements.end());
    return list;
}

std::vector<std::uint8_t> BuildReplyPayload(const SimDevice& device) {
    std::vector<std::uint8_t> payload{0x00, simwire::CMD_REPLY};
    const ElementList list = BuildReplyList(device);
    payload.insert(payload.end(), list.begin(), list.end());
    return payload;
}

bool DecodeConfigWrite(const std::uint8_t* list, std::size_t size, WriteSettings& settings, std::string& reason) {
    if (!CheckElementList(list, size)) {
        reason = "malformed element list";
        return false;
    }
    WriteSettings w;
    bool haveMac = false;
    for (std::size_t pos = 0; pos < size; pos += 2u + list[pos + 1]) {
        const std::uint8_t tag = list[pos];
        const std::uint8_t length = list[pos + 1];
        const std::uint8_t* value = list + pos + 2;
        w.tags.push_back(tag);
        bool known = true;
        switch (tag) {
            case TAG_MAC:
                if (length != MAC_LENGTH || haveMac) {
                    known = length == MAC_LENGTH;  // a second MAC element is allowed and unused
                    break;
                }
                for (std::size_t i = 0; i < 6; ++i) w.mac[i] = value[i];
                haveMac = true;
                break;
            case W_IP:
                known = length == 4;
                if (known) w.ip = ReadAddress(value);
                break;
            case W_MASK:
                known = length == 4;
                if (known) w.mask = ReadAddress(value);
                break;
            case W_GATEWAY:
                known = length == 4;
                if (known) w.gateway = ReadAddress(value);
                break;
            case W_DNS:
                known = length == 4;
                if (known) w.dns = ReadAddress(value);
                break;
            case R_TEXT: w.text102 = ReadText(value, length); break;
            case R_DESCRIPTION: w.description = ReadText(value, length); break;
            case R_NAME: w.name = ReadText(value, length); break;
            case R_BBMD: w.bbmd = ReadText(value, length); break;
            case R_LOCATION: w.location = ReadText(value, length); break;
            case R_STATION:
                known = length == 2;
                if (known) w.station = std::make_pair(value[0], value[1]);
                break;
            case R_DHCP:
                known = length == 1;
                if (known) w.dhcp = value[0] != 0;
                break;
            case R_DEVICE_ID:
                known = length == 4;
                if (known) w.deviceId = static_cast<std::int32_t>(LoadLe32(value));
                break;
            case R_PORT:
                known = length == 2;
                if (known) w.port = LoadLe16(value);
                break;
            case R_DEBUG:
                known = length == 4;
                if (known) w.debug = LoadBe32(value);
                break;
            default: known = false; break;
        }
        if (!known) w.ignored.emplace_back(tag, length);
    }
    if (!haveMac) {
        reason = "no MAC element";
        return false;
    }
    settings = std::move(w);
    return true;
}

bool ApplyConfigWrite(SimDevice& device, const WriteSettings& settings, const Ipv4Prefix* lease) {
    if (settings.ip) device.ip = *settings.ip;
    if (settings.mask) device.mask = *settings.mask;
    if (settings.gateway) device.gateway = *settings.gateway;
    if (settings.dns) device.dns1 = *settings.dns;
    if (settings.text102) device.text102 = *settings.text102;
    if (settings.description) device.description = *settings.description;
    if (settings.name) device.name = *settings.name;
    if (settings.bbmd) device.bbmd = *settings.bbmd;
    if (settings.location) device.location = *settings.location;
    if (settings.station) {
        device.pla = settings.station->first;
        device.ela = settings.station->second;
    }
    if (settings.deviceId) device.deviceId = *settings.deviceId;
    if (settings.port) device.bacnetPort = *settings.port;
    if (settings.debug) device.debugFlags = *settings.debug;
    if (settings.dhcp) device.dhcp = *settings.dhcp;
    const bool anyAddress = settings.ip || settings.mask || settings.gateway || settings.dns;
    if (device.dhcp && settings.dhcp && !anyAddress && lease != nullptr) {
        device.ip = lease->address;
        device.mask = MaskOf(lease->length);
        return true;
    }
    return false;
}

}  // namespace pelmora
