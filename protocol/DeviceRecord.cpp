#include "protocol/DeviceRecord.h"

#include <cstring>

#include "protocol/ByteOrder.h"
#include "protocol/Utf8Text.h"
#include "protocol/WireFormat.h"

namespace pelmora {

namespace {

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

void ReadOctets(const std::uint8_t* v, std::size_t length, std::uint8_t (&field)[4]) {
    if (length >= sizeof field) std::memcpy(field, v, sizeof field);
}

void ReadText(const std::uint8_t* v, std::size_t length, std::string& field) {
    field = DecodeElementText(v, length, MAX_TEXT_CHARACTERS);
}

// Fixed-width values whose element is shorter than the width are skipped: the field keeps its value and
// nothing of the following element is read.
void ApplyElement(DeviceRecord& r, std::uint8_t tag, const std::uint8_t* v, std::size_t length) {
    switch (tag) {
        case reply::REAL_3.tag:
            if (length >= reply::REAL_3.width) {
                const std::uint32_t bits = LoadLe32(v);
                std::memcpy(&r.tag3Real, &bits, sizeof r.tag3Real);
            }
            break;
        case reply::NUMBER_5.tag: ReadNumber(v, length, r.tag5Number); break;
        case reply::WORD_6.tag:
            if (length >= reply::WORD_6.width) r.tag6Word = LoadLe16(v);
            break;
        case reply::REVISION.tag:
            if (length >= reply::REVISION.width) r.revision = LoadBe32(v);
            break;
        case reply::WORD_35.tag:
            if (length >= reply::WORD_35.width) r.tag35Word = LoadLe16(v);
            break;
        case reply::FEATURES.tag: ReadNumber(v, length, r.featureFlags); break;
        case reply::IP_ADDRESS.tag: ReadOctets(v, length, r.ipAddress); break;
        case reply::SUBNET_MASK.tag: ReadOctets(v, length, r.subnetMask); break;
        case reply::GATEWAY.tag: ReadOctets(v, length, r.gateway); break;
        case reply::DNS_FIRST.tag:
        case reply::DNS_SECOND.tag:
            if (length >= reply::DNS_FIRST.width) {
                const std::size_t server = tag == reply::DNS_FIRST.tag ? 0 : 1;
                for (std::size_t k = 0; k < 4; ++k) r.dnsServers[2 * k + server] = v[k];
            }
            break;
        case reply::TEXT_102.tag: ReadText(v, length, r.tag102Text); break;
        case reply::DESCRIPTION.tag: ReadText(v, length, r.description); break;
        case reply::STATION.tag:
            if (length >= reply::STATION.width) {
                r.pla = v[0];
                r.ela = v[1];
            }
            break;
        case reply::DHCP.tag:
            if (length >= reply::DHCP.width) r.dhcp = v[0] != 0 ? 1 : 0;
            break;
        case reply::DEVICE_ID.tag:
            if (length >= reply::DEVICE_ID.width) r.deviceId = static_cast<std::int32_t>(LoadLe32(v));
            break;
        case reply::DEVICE_NAME.tag: ReadText(v, length, r.deviceName); break;
        case reply::BACNET_PORT.tag:
            if (length >= reply::BACNET_PORT.width) r.bacnetPort = LoadLe16(v);
            break;
        case reply::BBMD_ADDRESS.tag: ReadText(v, length, r.bbmdAddress); break;
        case reply::LOCATION.tag: ReadText(v, length, r.location); break;
        case reply::DEBUG_FLAGS.tag: r.debugFlags = length == reply::DEBUG_FLAGS.width ? LoadBe32(v) : 0; break;
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
    const long mac = FindElement(list, reply::MAC);
    if (mac >= 0) std::memcpy(record.mac, list.data() + mac, sizeof record.mac);
}

}  // namespace pelmora
