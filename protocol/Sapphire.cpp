#include "protocol/Sapphire.h"

#include "protocol/SecureZero.h"

namespace pelmora {

namespace {

constexpr std::size_t CARD_COUNT = 256;

template <typename T>
constexpr std::uint8_t U8(T v) {
    return static_cast<std::uint8_t>(v);
}

struct Registers {
    std::uint8_t rotor;
    std::uint8_t ratchet;
    std::uint8_t avalanche;
    std::uint8_t lastPlain;
    std::uint8_t lastCipher;
};

// One byte step; the caller keeps the registers in locals so the loops run from registers, not memory.
template <bool Enciphering>
inline std::uint8_t Step(std::uint8_t* cards, Registers& r, std::uint8_t in) {
    r.ratchet = U8(r.ratchet + cards[r.rotor]);
    r.rotor = U8(r.rotor + 1u);
    const std::uint8_t t = cards[r.lastCipher];
    cards[r.lastCipher] = cards[r.ratchet];
    cards[r.ratchet] = cards[r.lastPlain];
    cards[r.lastPlain] = cards[r.rotor];
    cards[r.rotor] = t;
    r.avalanche = U8(r.avalanche + cards[t]);
    const std::uint8_t keystream = U8(cards[U8(cards[r.ratchet] + cards[r.rotor])] ^
                                      cards[cards[U8(cards[r.lastPlain] + cards[r.lastCipher] + cards[r.avalanche])]]);
    const std::uint8_t out = U8(in ^ keystream);
    r.lastPlain = Enciphering ? in : out;
    r.lastCipher = Enciphering ? out : in;
    return out;
}

}  // namespace

SapphireBase::SapphireBase(const std::uint8_t* key, std::size_t length) { SetKey(key, length); }

SapphireBase::~SapphireBase() { Wipe(); }

void SapphireBase::SetKey(const std::uint8_t* key, std::size_t length) {
    cards = new std::uint8_t[CARD_COUNT];
    for (std::size_t i = 0; i < CARD_COUNT; ++i) cards[i] = U8(i);
    std::size_t keypos = 0;
    std::uint8_t rsum = 0;
    if (key != nullptr && length > 0) {
        for (unsigned i = CARD_COUNT - 1; i >= 1; --i) {
            const std::uint8_t j = PickCard(U8(i), key, length, keypos, rsum);
            const std::uint8_t t = cards[i];
            cards[i] = cards[j];
            cards[j] = t;
        }
    }
    rotor = cards[1];
    ratchet = cards[3];
    avalanche = cards[5];
    last_plain = cards[7];
    last_cipher = cards[rsum];
}

std::uint8_t SapphireBase::PickCard(std::uint8_t limit, const std::uint8_t* key, std::size_t length,
                                    std::size_t& keypos, std::uint8_t& rsum) {
    unsigned mask = 1;
    while (mask < limit) mask = 2 * mask + 1;
    unsigned retries = 0;
    unsigned u = 0;
    do {
        rsum = U8(cards[rsum] + key[keypos]);
        ++keypos;
        if (keypos >= length) {
            keypos = 0;
            rsum = U8(rsum + length);
        }
        ++retries;
        u = rsum & mask;
        if (retries > 11) u %= limit;
    } while (u > limit);
    return U8(u);
}

void SapphireBase::Wipe() {
    if (cards != nullptr) {
        SecureZero(cards, CARD_COUNT);
        delete[] cards;
        cards = nullptr;
    }
    SecureZero(&rotor, 1);
    SecureZero(&ratchet, 1);
    SecureZero(&avalanche, 1);
    SecureZero(&last_plain, 1);
    SecureZero(&last_cipher, 1);
}

std::uint8_t SapphireBase::Encipher(std::uint8_t p) {
    std::uint8_t c = p;
    EncipherBuffer(&c, &c, 1);
    return c;
}

std::uint8_t SapphireBase::Decipher(std::uint8_t c) {
    std::uint8_t p = c;
    DecipherBuffer(&p, &p, 1);
    return p;
}

template <bool Enciphering>
void SapphireBase::Process(std::uint8_t* out, const std::uint8_t* in, std::size_t n) {
    if (cards == nullptr) {
        for (std::size_t i = 0; i < n; ++i) out[i] = in[i];
        return;
    }
    Registers r{rotor, ratchet, avalanche, last_plain, last_cipher};
    for (std::size_t i = 0; i < n; ++i) out[i] = Step<Enciphering>(cards, r, in[i]);
    rotor = r.rotor;
    ratchet = r.ratchet;
    avalanche = r.avalanche;
    last_plain = r.lastPlain;
    last_cipher = r.lastCipher;
}

void SapphireBase::EncipherBuffer(std::uint8_t* out, const std::uint8_t* in, std::size_t n) {
    Process<true>(out, in, n);
}

void SapphireBase::DecipherBuffer(std::uint8_t* out, const std::uint8_t* in, std::size_t n) {
    Process<false>(out, in, n);
}

std::uint8_t SapphireEncryption::CipherByte(std::uint8_t b) { return Encipher(b); }
void SapphireEncryption::CipherString(std::uint8_t* out, const std::uint8_t* in, std::size_t n) {
    EncipherBuffer(out, in, n);
}
void SapphireEncryption::CipherInPlace(std::uint8_t* buf, std::size_t n) { EncipherBuffer(buf, buf, n); }

std::uint8_t SapphireDecryption::CipherByte(std::uint8_t b) { return Decipher(b); }
void SapphireDecryption::CipherString(std::uint8_t* out, const std::uint8_t* in, std::size_t n) {
    DecipherBuffer(out, in, n);
}
void SapphireDecryption::CipherInPlace(std::uint8_t* buf, std::size_t n) { DecipherBuffer(buf, buf, n); }

}  // namespace pelmora
