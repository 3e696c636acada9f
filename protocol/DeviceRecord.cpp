#include "DeviceRecord.h"

#include <cstring>

#include "ByteOrder.h"
#include "Utf8Text.h"

namespace pelmora {

namespace {

enum ReplyTag : std::uint8_t {
    TAG_REAL = 3,
    TAG_NUMBER = 5,
    TAG_WORD = 6,
    TAG_REVISION = 34,
    TAG_WORD_35 = 35,
    TAG_FEATURES = 36,
    TAG_IP_ADDRESS = 64,
    TAG_SUBNET_MASK = 65,
    TAG_GATEWAY = 66,
    TAG_DNS_FIRST = 68,
    TAG_DNS_SECOND = 69,
    TAG_TEXT_102 = 102,
    TAG_DESCRIPTION = 103,
    TAG_STATION = 105,
    TAG_DHCP = 106,
    TAG_DEVICE_ID = 124,
    TAG_DEVICE_NAME = 126,
    TAG_BACNET_PORT = 127,
    TAG_BBMD_ADDRESS = 128,
    TAG_LOCATION = 129,
    TAG_DEBUG_FLAGS = 130,
};

// 4 bytes when the value has 4, else its first 2; nothing when it has fewer than 2.
bool ReadNumber(const std::uint8_t* v, std::size_t length, std::uint32_t& field) {
    if (length == 4) {
        field = LoadBe32(v);
    } else if (length >= 2) {
        field = LoadBe16(v);
    } else {
        return false;
    }
    return true;
}

void ReadText(const std::uint8_t* v, std::size_t length, std::string& field) {
    field = DecodeElementText(v, length, MAX_TEXT_CHARACTERS);
}

// Fixed-width values whose element is shorter than the width are skipped: the field keeps its value and
// nothing of the following element is read.
void ApplyElement(DeviceRecord& r, std::uint8_t tag, const std::uint8_t* v, std::size_t length) {
    switch (tag) {
        case TAG_REAL:
            if (length >= 4) {
                const std::uint32_t bits = LoadLe32(v);
                std::memcpy(&r.tag3Real, &bits, sizeof r.tag3Real);
            }
            break;
        case TAG_NUMBER: ReadNumber(v, length, r.tag5Number); break;
        case TAG_WORD:
            if (length >= 2) r.tag6Word = LoadLe16(v);
            break;
        case TAG_REVISION:
            if (length >= 4) r.revision = LoadBe32(v);
            break;
        case TAG_WORD_35:
            if (length >= 2) r.tag35Word = LoadLe16(v);
            break;
        case TAG_FEATURES: ReadNumber(v, length, r.featureFlags); break;
        case TAG_IP_ADDRESS:
            if (length >= 4) std::memcpy(r.ipAddress, v, 4);
            break;
        case TAG_SUBNET_MASK:
            if (length >= 4) std::memcpy(r.subnetMask, v, 4);
            break;
        case TAG_GATEWAY:
            if (length >= 4) std::memcpy(r.gateway, v, 4);
            break;
        case TAG_DNS_FIRST:
        case TAG_DNS_SECOND:
            if (length >= 4) {
                const std::size_t server = tag == TAG_DNS_FIRST ? 0 : 1;
                for (std::size_t k = 0; k < 4; ++k) r.dnsServers[2 * k + server] = v[k];
            }
            break;
        case TAG_TEXT_102: ReadText(v, length, r.tag102Text); break;
        case TAG_DESCRIPTION: ReadText(v, length, r.description); break;
        case TAG_STATION:
            if (length >= 2) {
                r.pla = v[0];
                r.ela = v[1];
            }
            break;
        case TAG_DHCP:
            if (length >= 1) r.dhcp = v[0] != 0 ? 1 : 0;
            break;
        case TAG_DEVICE_ID:
            if (length >= 4) r.deviceId = static_cast<std::int32_t>(LoadLe32(v));
            break;
        case TAG_DEVICE_NAME: ReadText(v, length, r.deviceName); break;
        case TAG_BACNET_PORT:
            if (length >= 2) r.bacnetPort = LoadLe16(v);
            break;
        case TAG_BBMD_ADDRESS: ReadText(v, length, r.bbmdAddress); break;
        case TAG_LOCATION: ReadText(v, length, r.location); break;
        case TAG_DEBUG_FLAGS: r.debugFlags = length == 4 ? LoadBe32(v) : 0; break;
        default: break;
    }
}

}  // namespace

void ParseDeviceRecord(DeviceRecord& record, const ElementList& list) {
    if (!CheckElementList(list)) return;
    std::size_t pos = 0;
    while (pos < list.size()) {
        const std::uint8_t tag = list[pos];
        const std::size_t length = list[pos + 1];
        ApplyElement(record, tag, list.data() + pos + 2, length);
        pos += 2 + length;
    }
    // The MAC is the one the reply is filed under, so a record always finds its own reply again.
    const long mac = FindElement(list, TAG_MAC, MAC_LENGTH);
    if (mac >= 0) std::memcpy(record.mac, list.data() + mac, MAC_LENGTH);
}

}  // namespace pelmora
