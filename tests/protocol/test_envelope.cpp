#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <vector>

#include "protocol/PacketEnvelope.h"
#include "protocol/Sapphire.h"

namespace pelmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint8_t* PacketKey() { return reinterpret_cast<const std::uint8_t*>(PACKET_KEY_TEXT); }

// The envelope's CRC-32 bytes, least significant first.
Bytes Crc(const std::uint8_t* data, std::size_t n) {
    const auto crc = crc32(0, data, static_cast<uInt>(n));
    return Bytes{static_cast<std::uint8_t>(crc), static_cast<std::uint8_t>(crc >> 8),
                 static_cast<std::uint8_t>(crc >> 16), static_cast<std::uint8_t>(crc >> 24)};
}

Bytes Payload(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return b;
}

// Seals a copy of the payload; returns the datagram as it goes on the wire.
Bytes Seal(const Bytes& payload) {
    Bytes header(HEADER_CAPACITY, 0xEE);
    Bytes body = payload;
    BufferPart parts[2] = {{HEADER_CAPACITY, header.data()}, {static_cast<std::uint32_t>(body.size()), body.data()}};
    EXPECT_TRUE(SealPacket(parts));
    Bytes datagram(header.begin(), header.begin() + parts[0].length);
    datagram.insert(datagram.end(), body.begin(), body.end());
    return datagram;
}

void Decipher(Bytes& datagram) {
    SapphireDecryption cipher(PacketKey(), PACKET_KEY_LENGTH);
    cipher.CipherInPlace(datagram.data(), datagram.size());
}

void Encipher(Bytes& datagram) {
    SapphireEncryption cipher(PacketKey(), PACKET_KEY_LENGTH);
    cipher.CipherInPlace(datagram.data(), datagram.size());
}

void PutLe32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A plaintext datagram built field by field: a header of the given size with a correct total length,
// a correct packet check and, for a 12-byte header, the given payload-head check.
Bytes Plaintext(std::size_t headerLength, const Bytes& payload, bool goodHeadCheck = true) {
    Bytes d(headerLength, 0);
    d.insert(d.end(), payload.begin(), payload.end());
    PutLe32(d, 4, static_cast<std::uint32_t>(d.size()));
    if (headerLength == 12) {
        Bytes head = Crc(payload.data(), 100);
        if (!goodHeadCheck) head[1] ^= 0x40;
        std::copy(head.begin(), head.end(), d.begin() + 8);
    }
    const Bytes check = Crc(d.data() + 4, d.size() - 4);
    std::copy(check.begin(), check.end(), d.begin());
    return d;
}

struct Opened {
    std::uint8_t* payload;
    std::uint32_t length;
};
Opened Open(Bytes& datagram, std::uint32_t length) {
    Opened r{nullptr, length};
    r.payload = OpenPacket(datagram.data(), r.length);
    return r;
}
Opened Open(Bytes& datagram) { return Open(datagram, static_cast<std::uint32_t>(datagram.size())); }

TEST(Crc32, CheckValueBytes) {
    const std::string text = "123456789";
    EXPECT_EQ(Crc(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), (Bytes{0x26, 0x39, 0xF4, 0xCB}));
}

TEST(SealPacket, DiscoveryRequestIsTheWorkedExample) {
    Bytes datagram = Seal({0x00, 0x00});
    // The on-wire bytes, pinned so that the devices' view of this request cannot drift.
    EXPECT_EQ(datagram, (Bytes{0x1B, 0x45, 0xA1, 0x3E, 0x8E, 0xA9, 0x3F, 0x47, 0x5F, 0x39}));
    Decipher(datagram);
    EXPECT_EQ(datagram, (Bytes{0xC5, 0x82, 0x59, 0x10, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST(SealPacket, FormAndSizeFollowPayloadLength) {
    const struct {
        std::size_t payload, total, header;
    } cases[] = {{0, 8, 8}, {2, 10, 8}, {9, 17, 8}, {248, 256, 8}, {249, 261, 12}, {1988, 2000, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE("payload " + std::to_string(c.payload));
        const Bytes payload = Payload(c.payload);
        Bytes datagram = Seal(payload);
        ASSERT_EQ(datagram.size(), c.total);
        Decipher(datagram);
        EXPECT_EQ(datagram, Plaintext(c.header, payload));
    }
}

TEST(SealPacket, SameBytesEveryTimeAndHeaderPartSetToUsedLength) {
    EXPECT_EQ(Seal(Payload(77)), Seal(Payload(77)));
    EXPECT_EQ(Seal(Payload(300)), Seal(Payload(300)));

    Bytes header(16, 0xAB);
    Bytes body = Payload(20);
    BufferPart parts[2] = {{HEADER_CAPACITY, header.data()}, {20, body.data()}};
    ASSERT_TRUE(SealPacket(parts));
    EXPECT_EQ(parts[0].length, 8u);
    EXPECT_EQ(parts[1].length, 20u);
    for (std::size_t i = 8; i < header.size(); ++i) EXPECT_EQ(header[i], 0xAB) << "header byte " << i;
}

TEST(SealPacket, RefusesAHeaderPartWithoutRoom) {
    Bytes header(12, 0x11);
    Bytes body = Payload(249);
    const Bytes original = body;
    BufferPart parts[2] = {{11, header.data()}, {249, body.data()}};
    EXPECT_FALSE(SealPacket(parts));
    EXPECT_EQ(parts[0].length, 11u);
    EXPECT_EQ(body, original);
    EXPECT_EQ(header, Bytes(12, 0x11));

    BufferPart noHeader[2] = {{12, nullptr}, {249, body.data()}};
    EXPECT_FALSE(SealPacket(noHeader));
    BufferPart noPayload[2] = {{12, header.data()}, {5, nullptr}};
    EXPECT_FALSE(SealPacket(noPayload));
    EXPECT_EQ(body, original);
}

TEST(OpenPacket, RoundTripsEveryForm) {
    for (std::size_t n : {0u, 2u, 9u, 77u, 248u, 249u, 300u, 1988u}) {
        SCOPED_TRACE("payload " + std::to_string(n));
        const Bytes payload = Payload(n);
        Bytes datagram = Seal(payload);
        const Opened r = Open(datagram);
        ASSERT_NE(r.payload, nullptr);
        ASSERT_EQ(r.length, n);
        EXPECT_EQ(r.payload, datagram.data() + (n > 248 ? 12 : 8));
        EXPECT_EQ(Bytes(r.payload, r.payload + r.length), payload);
    }
}

TEST(OpenPacket, SizesThatSealingNeverMakes) {
    // 256 bytes is still the short form; 257 to 260 bytes are read as the long form.
    Bytes shortest = Plaintext(8, Payload(248));
    Encipher(shortest);
    Opened r = Open(shortest);
    ASSERT_NE(r.payload, nullptr);
    EXPECT_EQ(r.length, 248u);

    for (std::size_t total = 257; total <= 260; ++total) {
        SCOPED_TRACE("total " + std::to_string(total));
        const Bytes payload = Payload(total - 12);
        Bytes datagram = Plaintext(12, payload);
        Encipher(datagram);
        r = Open(datagram);
        ASSERT_NE(r.payload, nullptr);
        EXPECT_EQ(r.length, total - 12);
        EXPECT_EQ(Bytes(r.payload, r.payload + r.length), payload);

        Bytes asShort = Plaintext(8, Payload(total - 8));
        Encipher(asShort);
        r = Open(asShort);
        EXPECT_EQ(r.payload, nullptr);
        EXPECT_EQ(r.length, static_cast<std::uint32_t>(OPEN_BAD_HEAD_CHECK));
    }
}

TEST(OpenPacket, RejectsWrongSizeBeforeAnyCheck) {
    for (std::size_t n : {2u, 300u}) {
        SCOPED_TRACE("payload " + std::to_string(n));
        Bytes datagram = Seal(Payload(n));
        const auto size = static_cast<std::uint32_t>(datagram.size());
        Bytes longer = datagram;
        longer.push_back(0x00);
        EXPECT_EQ(Open(longer).payload, nullptr);
        EXPECT_EQ(Open(longer).length, 0u);

        Bytes shorter = datagram;
        Opened r = Open(shorter, size - 1);
        EXPECT_EQ(r.payload, nullptr);
        EXPECT_EQ(r.length, static_cast<std::uint32_t>(OPEN_BAD_SIZE));
    }
    for (std::size_t n : {0u, 1u, 7u}) {
        Bytes tiny(n + 1, 0x5C);
        Opened r = Open(tiny, static_cast<std::uint32_t>(n));
        EXPECT_EQ(r.payload, nullptr);
        EXPECT_EQ(r.length, static_cast<std::uint32_t>(OPEN_BAD_SIZE));
    }
    std::uint32_t length = 10;
    EXPECT_EQ(OpenPacket(nullptr, length), nullptr);
    EXPECT_EQ(length, static_cast<std::uint32_t>(OPEN_BAD_SIZE));
}

TEST(OpenPacket, RejectsBadChecksAndLeavesPlaintext) {
    for (std::size_t at : {0u, 3u, 8u, 11u, 150u, 299u}) {
        SCOPED_TRACE("flipped byte " + std::to_string(at));
        Bytes datagram = at < 150 ? Plaintext(8, Payload(200)) : Plaintext(12, Payload(288));
        datagram[at] ^= 0x01;
        Encipher(datagram);
        const Opened r = Open(datagram);
        EXPECT_EQ(r.payload, nullptr);
        EXPECT_EQ(r.length, static_cast<std::uint32_t>(OPEN_BAD_PACKET_CHECK));
    }

    const Bytes plain = Plaintext(12, Payload(400), false);
    Bytes datagram = plain;
    Encipher(datagram);
    const Opened r = Open(datagram);
    EXPECT_EQ(r.payload, nullptr);
    EXPECT_EQ(r.length, static_cast<std::uint32_t>(OPEN_BAD_HEAD_CHECK));
    EXPECT_EQ(datagram, plain);
}

TEST(OpenPacket, TouchesNothingBeyondLength) {
    Bytes datagram = Seal(Payload(30));
    const std::size_t size = datagram.size();
    datagram.insert(datagram.end(), {0xA5, 0xA5, 0xA5, 0xA5});
    const Opened r = Open(datagram, static_cast<std::uint32_t>(size));
    ASSERT_NE(r.payload, nullptr);
    EXPECT_EQ(Bytes(datagram.end() - 4, datagram.end()), (Bytes{0xA5, 0xA5, 0xA5, 0xA5}));
}

}  // namespace
}  // namespace pelmora
