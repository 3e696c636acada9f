#include "protocol/PacketEnvelope.h"

#include <cstring>
#include <limits>
#include <utility>

#include "protocol/ByteOrder.h"
#include "protocol/Crc32.h"
#include "protocol/Sapphire.h"

namespace pelmora {

namespace {

constexpr std::uint32_t CHECK_LENGTH = 4;
constexpr std::uint32_t TOTAL_LENGTH_OFFSET = 4;
constexpr std::uint32_t HEAD_CHECK_OFFSET = 8;
constexpr std::uint32_t HEAD_CHECK_SPAN = 100;  // payload bytes the long form's second check covers
constexpr std::uint32_t MAX_SHORT_FORM_TOTAL = SHORT_HEADER_LENGTH + MAX_SHORT_FORM_PAYLOAD;

const std::uint8_t* PacketKey() { return reinterpret_cast<const std::uint8_t*>(PACKET_KEY_TEXT); }

}  // namespace

bool SealPacket(BufferPart (&parts)[2]) {
    BufferPart& header = parts[0];
    BufferPart& payload = parts[1];
    const std::uint32_t n = payload.length;
    const std::uint32_t h = n > MAX_SHORT_FORM_PAYLOAD ? LONG_HEADER_LENGTH : SHORT_HEADER_LENGTH;
    if (header.data == nullptr || header.length < h || (n > 0 && payload.data == nullptr) ||
        n > std::numeric_limits<std::uint32_t>::max() - h) {
        return false;
    }

    if (h == LONG_HEADER_LENGTH) {
        Crc32 headCheck;
        headCheck.Update(payload.data, HEAD_CHECK_SPAN);
        headCheck.Final(header.data + HEAD_CHECK_OFFSET);
    }
    StoreLe32(header.data + TOTAL_LENGTH_OFFSET, h + n);
    Crc32 packetCheck;
    packetCheck.Update(header.data + TOTAL_LENGTH_OFFSET, h - TOTAL_LENGTH_OFFSET);
    if (n > 0) packetCheck.Update(payload.data, n);
    packetCheck.Final(header.data);

    SapphireEncryption cipher(PacketKey(), PACKET_KEY_LENGTH);
    cipher.CipherInPlace(header.data, h);
    cipher.CipherInPlace(payload.data, n);
    header.length = h;
    return true;
}

SealedPacket::SealedPacket(std::vector<std::uint8_t> payload) : m_payload(std::move(payload)) {
    if (m_payload.size() > MAX_DATAGRAM) return;
    m_parts[0] = BufferPart{HEADER_CAPACITY, m_header.data()};
    m_parts[1] = BufferPart{static_cast<std::uint32_t>(m_payload.size()), m_payload.data()};
    m_sealed = SealPacket(m_parts);
}

std::uint8_t* OpenPacket(std::uint8_t* buffer, std::uint32_t& length) {
    const std::uint32_t total = length;
    if (buffer == nullptr) {
        length = OPEN_BAD_SIZE;
        return nullptr;
    }
    {
        SapphireDecryption cipher(PacketKey(), PACKET_KEY_LENGTH);
        cipher.CipherInPlace(buffer, total);
    }
    if (total < SHORT_HEADER_LENGTH || LoadLe32(buffer + TOTAL_LENGTH_OFFSET) != total) {
        length = OPEN_BAD_SIZE;
        return nullptr;
    }

    std::uint8_t check[CHECK_LENGTH];
    Crc32 crc;
    crc.Update(buffer + TOTAL_LENGTH_OFFSET, total - TOTAL_LENGTH_OFFSET);
    crc.Final(check);
    if (std::memcmp(check, buffer, CHECK_LENGTH) != 0) {
        length = OPEN_BAD_PACKET_CHECK;
        return nullptr;
    }
    if (total <= MAX_SHORT_FORM_TOTAL) {
        length = total - SHORT_HEADER_LENGTH;
        return buffer + SHORT_HEADER_LENGTH;
    }
    crc.Update(buffer + LONG_HEADER_LENGTH, HEAD_CHECK_SPAN);
    crc.Final(check);
    if (std::memcmp(check, buffer + HEAD_CHECK_OFFSET, CHECK_LENGTH) != 0) {
        length = OPEN_BAD_HEAD_CHECK;
        return nullptr;
    }
    length = total - LONG_HEADER_LENGTH;
    return buffer + LONG_HEADER_LENGTH;
}

}  // namespace pelmora
