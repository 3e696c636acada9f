#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "protocol/PacketEnvelope.h"
#include "protocol/Sapphire.h"
#include "tests/protocol/SapphireReference.h"

// Every array delete in this program passes here, so a test can see a cipher table as it is released.
namespace {
const void* g_watchedBlock = nullptr;
bool g_watchedReleased = false;
bool g_watchedWasZero = false;
}  // namespace

void* operator new[](std::size_t size) {
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete[](void* p) noexcept {
    if (p != nullptr && p == g_watchedBlock) {
        const auto* bytes = static_cast<const unsigned char*>(p);
        g_watchedWasZero = std::all_of(bytes, bytes + 256, [](unsigned char b) { return b == 0; });
        g_watchedReleased = true;
    }
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept { operator delete[](p); }

namespace pelmora {
namespace {

using test::SapphireReference;
using Bytes = std::vector<std::uint8_t>;

const std::uint8_t* PacketKey() { return reinterpret_cast<const std::uint8_t*>(PACKET_KEY_TEXT); }

std::vector<int> KeyInts(const std::uint8_t* key, std::size_t n) { return std::vector<int>(key, key + n); }

Bytes Counting(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

void ExpectStateMatches(const SapphireBase& c, const SapphireReference& ref) {
    for (int i = 0; i < 256; ++i) ASSERT_EQ(c.Cards()[i], ref.cards[static_cast<std::size_t>(i)]) << "card " << i;
    EXPECT_EQ(c.Rotor(), ref.rotor);
    EXPECT_EQ(c.Ratchet(), ref.ratchet);
    EXPECT_EQ(c.Avalanche(), ref.avalanche);
    EXPECT_EQ(c.LastPlain(), ref.lastPlain);
    EXPECT_EQ(c.LastCipher(), ref.lastCipher);
}

// Computed once with the packet key and confirmed against SapphireReference.
const Bytes GOLDEN_CARDS_HEAD = {0xE7, 0x9F, 0xA7, 0x74, 0x77, 0xAA, 0xB0, 0xDA,
                                 0xAE, 0xFD, 0x6D, 0xB1, 0x84, 0x53, 0x94, 0x87};
const Bytes GOLDEN_CIPHERTEXT = {0xDE, 0x87, 0x25, 0xE0, 0x67, 0x1B, 0x81, 0xD3, 0xA9, 0xBD, 0x10,
                                 0x50, 0x0A, 0x8E, 0x6A, 0xF2, 0xBA, 0x41, 0x1E, 0xA7, 0x7F, 0xD8,
                                 0x12, 0xC4, 0xC9, 0x67, 0xCD, 0x9D, 0xEF, 0x21, 0xC2, 0xBD};

TEST(SapphireKeySetUp, PacketKeyGivesGoldenTableAndState) {
    SapphireEncryption cipher(PacketKey(), PACKET_KEY_LENGTH);
    EXPECT_EQ(Bytes(cipher.Cards(), cipher.Cards() + 16), GOLDEN_CARDS_HEAD);
    EXPECT_EQ(cipher.Rotor(), 159);
    EXPECT_EQ(cipher.Ratchet(), 116);
    EXPECT_EQ(cipher.Avalanche(), 170);
    EXPECT_EQ(cipher.LastPlain(), 218);
    EXPECT_EQ(cipher.LastCipher(), 3);

    SapphireReference ref(KeyInts(PacketKey(), PACKET_KEY_LENGTH));
    ExpectStateMatches(cipher, ref);
}

TEST(SapphireKeySetUp, TableIsPermutationAndStateComesFromIt) {
    std::vector<Bytes> keys = {
        {0x00}, {0x5A}, {0xFF}, Bytes(PacketKey(), PacketKey() + PACKET_KEY_LENGTH), Counting(255), Bytes(13, 0x00)};
    for (const Bytes& key : keys) {
        SCOPED_TRACE("key length " + std::to_string(key.size()));
        SapphireDecryption cipher(key.data(), key.size());
        std::vector<int> seen(256, 0);
        for (int i = 0; i < 256; ++i) seen[cipher.Cards()[i]]++;
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));

        SapphireReference ref(KeyInts(key.data(), key.size()));
        ExpectStateMatches(cipher, ref);
        EXPECT_EQ(cipher.Rotor(), cipher.Cards()[1]);
        EXPECT_EQ(cipher.Ratchet(), cipher.Cards()[3]);
        EXPECT_EQ(cipher.Avalanche(), cipher.Cards()[5]);
        EXPECT_EQ(cipher.LastPlain(), cipher.Cards()[7]);
        EXPECT_EQ(cipher.LastCipher(), cipher.Cards()[ref.finalRsum]);
        EXPECT_LE(ref.maxDrawsPerPick, 12);
    }
}

TEST(SapphireKeySetUp, TerminatingZeroMakesADifferentKey) {
    SapphireEncryption without(PacketKey(), PACKET_KEY_LENGTH);
    SapphireEncryption with(PacketKey(), PACKET_KEY_LENGTH + 1);
    EXPECT_FALSE(std::equal(without.Cards(), without.Cards() + 256, with.Cards()));
}

TEST(SapphireKeySetUp, EmptyKeyLeavesTableUnshuffled) {
    SapphireEncryption cipher(nullptr, 0);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(cipher.Cards()[i], i);
    EXPECT_EQ(cipher.Rotor(), 1);
    EXPECT_EQ(cipher.LastCipher(), 0);
}

TEST(SapphireCipher, PacketKeyGoldenCiphertext) {
    Bytes data(32);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    SapphireEncryption cipher(PacketKey(), PACKET_KEY_LENGTH);
    cipher.CipherInPlace(data.data(), data.size());
    EXPECT_EQ(data, GOLDEN_CIPHERTEXT);

    SapphireReference ref(KeyInts(PacketKey(), PACKET_KEY_LENGTH));
    for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(ref.Encipher(static_cast<int>(i)), GOLDEN_CIPHERTEXT[i]);
}

TEST(SapphireCipher, AgreesWithReferenceOverLongStreams) {
    const Bytes key1 = {0x5A};
    const Bytes key255 = Counting(255);
    for (const Bytes* key : {&key1, &key255}) {
        const Bytes plain = Counting(5000);
        SapphireEncryption enc(key->data(), key->size());
        Bytes cipherText(plain.size());
        enc.CipherString(cipherText.data(), plain.data(), plain.size());

        SapphireReference refEnc(KeyInts(key->data(), key->size()));
        SapphireReference refDec(KeyInts(key->data(), key->size()));
        for (std::size_t i = 0; i < plain.size(); ++i) {
            ASSERT_EQ(cipherText[i], refEnc.Encipher(plain[i])) << "byte " << i;
            ASSERT_EQ(plain[i], refDec.Decipher(cipherText[i])) << "byte " << i;
        }
        ExpectStateMatches(enc, refEnc);
    }
}

TEST(SapphireCipher, DecipheringRestoresAndSlotsAgree) {
    const Bytes plain = Counting(1000);
    SapphireEncryption inPlace(PacketKey(), PACKET_KEY_LENGTH);
    SapphireEncryption byString(PacketKey(), PACKET_KEY_LENGTH);
    SapphireEncryption byByte(PacketKey(), PACKET_KEY_LENGTH);
    Bytes a = plain;
    inPlace.CipherInPlace(a.data(), a.size());
    Bytes b(plain.size());
    byString.CipherString(b.data(), plain.data(), plain.size());
    Bytes c(plain.size());
    StreamCipher& viaInterface = byByte;
    for (std::size_t i = 0; i < plain.size(); ++i) c[i] = viaInterface.CipherByte(plain[i]);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    EXPECT_NE(a, plain);

    SapphireDecryption dec1(PacketKey(), PACKET_KEY_LENGTH);
    SapphireDecryption dec2(PacketKey(), PACKET_KEY_LENGTH);
    Bytes d = a;
    dec1.CipherInPlace(d.data(), d.size());
    EXPECT_EQ(d, plain);
    Bytes e(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) e[i] = dec2.CipherByte(a[i]);
    EXPECT_EQ(e, plain);
}

TEST(SapphireCipher, SplittingTheStreamChangesNothing) {
    const Bytes plain = Counting(300);
    SapphireEncryption whole(PacketKey(), PACKET_KEY_LENGTH);
    Bytes one = plain;
    whole.CipherInPlace(one.data(), one.size());

    SapphireEncryption pieces(PacketKey(), PACKET_KEY_LENGTH);
    Bytes several = plain;
    std::size_t pos = 0;
    for (std::size_t step : {12u, 0u, 1u, 100u, 87u, 100u}) {
        pieces.CipherInPlace(several.data() + pos, step);
        pos += step;
    }
    ASSERT_EQ(pos, plain.size());
    EXPECT_EQ(one, several);

    SapphireDecryption dec(PacketKey(), PACKET_KEY_LENGTH);
    dec.CipherInPlace(several.data(), 8);
    dec.CipherInPlace(several.data() + 8, several.size() - 8);
    EXPECT_EQ(several, plain);
}

TEST(SapphireCipher, ZeroBytesLeaveStateAlone) {
    SapphireEncryption used(PacketKey(), PACKET_KEY_LENGTH);
    SapphireEncryption fresh(PacketKey(), PACKET_KEY_LENGTH);
    used.CipherInPlace(nullptr, 0);
    used.CipherString(nullptr, nullptr, 0);
    EXPECT_TRUE(std::equal(used.Cards(), used.Cards() + 256, fresh.Cards()));
    EXPECT_EQ(used.Rotor(), fresh.Rotor());
    EXPECT_EQ(used.Ratchet(), fresh.Ratchet());
    EXPECT_EQ(used.Avalanche(), fresh.Avalanche());
    EXPECT_EQ(used.LastPlain(), fresh.LastPlain());
    EXPECT_EQ(used.LastCipher(), fresh.LastCipher());
}

TEST(SapphireWipe, ZeroesStateAndTableBeforeRelease) {
    SapphireEncryption cipher(PacketKey(), PACKET_KEY_LENGTH);
    std::uint8_t b = 0x42;
    cipher.CipherInPlace(&b, 1);
    g_watchedBlock = cipher.Cards();
    g_watchedReleased = false;
    g_watchedWasZero = false;
    cipher.Wipe();
    g_watchedBlock = nullptr;
    EXPECT_TRUE(g_watchedReleased);
    EXPECT_TRUE(g_watchedWasZero);
    EXPECT_EQ(cipher.Cards(), nullptr);
    EXPECT_EQ(cipher.Rotor(), 0);
    EXPECT_EQ(cipher.Ratchet(), 0);
    EXPECT_EQ(cipher.Avalanche(), 0);
    EXPECT_EQ(cipher.LastPlain(), 0);
    EXPECT_EQ(cipher.LastCipher(), 0);

    // A wiped state passes bytes through instead of reading a released table; wiping again is harmless.
    std::uint8_t data[3] = {1, 2, 3};
    cipher.CipherInPlace(data, 3);
    EXPECT_EQ(data[2], 3);
    EXPECT_EQ(cipher.CipherByte(9), 9);
    cipher.Wipe();
}

TEST(SapphireWipe, DestructorZeroesTable) {
    g_watchedReleased = false;
    g_watchedWasZero = false;
    {
        SapphireDecryption cipher(PacketKey(), PACKET_KEY_LENGTH);
        g_watchedBlock = cipher.Cards();
    }
    g_watchedBlock = nullptr;
    EXPECT_TRUE(g_watchedReleased);
    EXPECT_TRUE(g_watchedWasZero);
}

}  // namespace
}  // namespace pelmora
