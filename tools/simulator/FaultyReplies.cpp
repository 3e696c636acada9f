#include "tools/simulator/FaultyReplies.h"

#include <zlib.h>

#include <algorithm>
#include <iterator>

#include "protocol/ByteOrder.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/Sapphire.h"
#include "tools/simulator/DeviceElements.h"
#include "tools/simulator/SimWire.h"

namespace pelmora {
namespace {

constexpr std::uint8_t PAD_TAG = 200;  // a tag no reader knows, skipped by its length
constexpr std::size_t HEAD_CHECK_SPAN = 100;
constexpr std::size_t TOTAL_LENGTH_OFFSET = 4;
constexpr std::size_t HEAD_CHECK_OFFSET = 8;

// CRC-32 stored least significant byte first, as the envelope carries it.
void Crc(const std::uint8_t* data, std::size_t size, std::uint8_t* out) {
    const auto crc = crc32(0, data, static_cast<uInt>(size));
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

void UpdatePacketCheck(std::vector<std::uint8_t>& plain) {
    Crc(plain.data() + TOTAL_LENGTH_OFFSET, plain.size() - TOTAL_LENGTH_OFFSET, plain.data());
}

// Unknown-tag elements appended until the payload is at least minimum bytes long.
void Pad(std::vector<std::uint8_t>& payload, std::size_t minimum) {
    while (payload.size() < minimum) {
        const std::size_t length = std::min<std::size_t>(250, minimum - payload.size());
        payload.push_back(PAD_TAG);
        payload.push_back(static_cast<std::uint8_t>(length));
        payload.insert(payload.end(), length, 0x55);
    }
}

std::vector<std::uint8_t> WithCommand(std::uint8_t lead, std::uint8_t command, const ElementList& list) {
    std::vector<std::uint8_t> payload{lead, command};
    payload.insert(payload.end(), list.begin(), list.end());
    return payload;
}

}  // namespace

std::vector<std::uint8_t> PlainEnvelope(const std::vector<std::uint8_t>& payload) {
    const std::size_t h = payload.size() > MAX_SHORT_FORM_PAYLOAD ? LONG_HEADER_LENGTH : SHORT_HEADER_LENGTH;
    std::vector<std::uint8_t> plain(h, 0);
    plain.insert(plain.end(), payload.begin(), payload.end());
    StoreLe32(plain.data() + TOTAL_LENGTH_OFFSET, static_cast<std::uint32_t>(plain.size()));
    if (h == LONG_HEADER_LENGTH) Crc(payload.data(), HEAD_CHECK_SPAN, plain.data() + HEAD_CHECK_OFFSET);
    UpdatePacketCheck(plain);
    return plain;
}

Datagram EncipherDatagram(std::vector<std::uint8_t> plain) {
    SapphireEncryption cipher(reinterpret_cast<const std::uint8_t*>(PACKET_KEY_TEXT), PACKET_KEY_LENGTH);
    cipher.CipherInPlace(plain.data(), plain.size());
    return plain;
}

Datagram BuildFaultyReply(FaultKind kind, const SimDevice& device) {
    const ElementList good = BuildReplyList(device);
    std::vector<std::uint8_t> payload = WithCommand(0x00, simwire::CMD_REPLY, good);
    switch (kind) {
        case FaultKind::None: break;
        case FaultKind::BadPacketCheck: {
            std::vector<std::uint8_t> plain = PlainEnvelope(payload);
            plain[0] ^= 0xFF;
            return EncipherDatagram(std::move(plain));
        }
        case FaultKind::BadHeadCheck: {
            Pad(payload, 300);
            std::vector<std::uint8_t> plain = PlainEnvelope(payload);
            plain[HEAD_CHECK_OFFSET] ^= 0xFF;
            UpdatePacketCheck(plain);
            return EncipherDatagram(std::move(plain));
        }
        case FaultKind::BadLength: {
            std::vector<std::uint8_t> plain = PlainEnvelope(payload);
            StoreLe32(plain.data() + TOTAL_LENGTH_OFFSET, static_cast<std::uint32_t>(plain.size() + 1));
            UpdatePacketCheck(plain);
            return EncipherDatagram(std::move(plain));
        }
        case FaultKind::ShortDatagram: {
            Datagram sealed = SealDatagram(payload);
            sealed.resize(5);
            return sealed;
        }
        case FaultKind::EmptyReply: payload.resize(2); break;
        case FaultKind::CutList: {
            const std::uint8_t cut[] = {PAD_TAG, 10, 1, 2, 3};
            payload.insert(payload.end(), std::begin(cut), std::end(cut));
            break;
        }
        case FaultKind::ShortMac: {
            ElementList list;
            AppendElement(list, simwire::TAG_MAC, device.mac.data(), 5);
            list.insert(list.end(), good.begin() + 2 + simwire::MAC_LENGTH, good.end());
            payload = WithCommand(0x00, simwire::CMD_REPLY, list);
            break;
        }
        case FaultKind::NoMac:
            payload =
                WithCommand(0x00, simwire::CMD_REPLY, ElementList(good.begin() + 2 + simwire::MAC_LENGTH, good.end()));
            break;
        case FaultKind::Oversize: Pad(payload, 2100); break;
        case FaultKind::WrongCommand: payload = WithCommand(0x00, 0x07, good); break;
        case FaultKind::BadLead: payload = WithCommand(0x01, simwire::CMD_REPLY, good); break;
        case FaultKind::RequestEcho: payload = {0x00, simwire::CMD_REQUEST}; break;
    }
    return SealDatagram(std::move(payload));
}

}  // namespace pelmora
