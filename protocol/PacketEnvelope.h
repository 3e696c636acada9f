#pragma once
// The packet envelope around every device payload: CRC-32 checks and total length, enciphered whole.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/BufferPart.h"

namespace pelmora {

constexpr std::uint32_t HEADER_CAPACITY = 12;  // room for either header form
constexpr std::size_t MAX_DATAGRAM = 2000;     // receive buffer and payload buffer size

// The key of every packet in both directions: these 20 characters, without a terminating zero.
constexpr char PACKET_KEY_TEXT[] = "(K) 2087 TRUVANEL QZ";
constexpr std::size_t PACKET_KEY_LENGTH = sizeof PACKET_KEY_TEXT - 1;

// Header sizes and the largest payload that still seals in the short form.
constexpr std::uint32_t SHORT_HEADER_LENGTH = 8;
constexpr std::uint32_t LONG_HEADER_LENGTH = 12;
constexpr std::uint32_t MAX_SHORT_FORM_PAYLOAD = 248;

// parts[0] is the header buffer (length set to its capacity, 12, by the caller), parts[1] the payload.
// Afterwards both hold ciphertext and parts[0].length is 8 or 12. Returns false, and changes nothing,
// when the header part has less room than the form needs, a buffer pointer is missing, or the total
// length does not fit its 32-bit field.
bool SealPacket(BufferPart (&parts)[2]);

// Deciphers the datagram in place and checks it. Returns the payload inside buffer with length set to
// its size, or nullptr with length set to the reason: 0 size, 1 packet check, 2 payload-head check.
std::uint8_t* OpenPacket(std::uint8_t* buffer, std::uint32_t& length);

// A payload sealed once, in buffers of its own, to be sent as often as needed. Neither copied nor moved,
// since its parts point into it.
class SealedPacket {
public:
    explicit SealedPacket(std::vector<std::uint8_t> payload);
    ~SealedPacket() = default;
    SealedPacket(const SealedPacket&) = delete;
    SealedPacket& operator=(const SealedPacket&) = delete;

    // False when the payload could not be sealed (it does not fit a datagram); then nothing may be sent.
    bool IsSealed() const { return m_sealed; }
    // Header, then payload: one datagram.
    const BufferPart (&Parts() const)[2] { return m_parts; }

private:
    std::array<std::uint8_t, HEADER_CAPACITY> m_header{};
    std::vector<std::uint8_t> m_payload;
    BufferPart m_parts[2];
    bool m_sealed = false;
};

enum OpenFailure : std::uint32_t { OPEN_BAD_SIZE = 0, OPEN_BAD_PACKET_CHECK = 1, OPEN_BAD_HEAD_CHECK = 2 };

}  // namespace pelmora
