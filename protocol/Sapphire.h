#pragma once
// The Sapphire II stream cipher (plaintext feedback) that enciphers every device datagram.
#include <cstddef>
#include <cstdint>

namespace pelmora {

class StreamCipher {
public:
    virtual ~StreamCipher() = default;
    StreamCipher(const StreamCipher&) = delete;
    StreamCipher& operator=(const StreamCipher&) = delete;
    virtual std::uint8_t CipherByte(std::uint8_t b) = 0;
    virtual void CipherString(std::uint8_t* out, const std::uint8_t* in, std::size_t n) = 0;
    virtual void CipherInPlace(std::uint8_t* buf, std::size_t n) = 0;

protected:
    StreamCipher() = default;
};

// The cipher state. The 256-byte table is allocated by SetKey and zeroed and released by Wipe; a wiped
// state passes bytes through unchanged. A key of length 0 leaves the table unshuffled.
class SapphireBase {
public:
    SapphireBase(const std::uint8_t* key, std::size_t length);  // length 1..255
    ~SapphireBase();
    SapphireBase(const SapphireBase&) = delete;
    SapphireBase& operator=(const SapphireBase&) = delete;

    void Wipe();

    // Read access for tests of the key set-up and of Wipe.
    const std::uint8_t* Cards() const { return cards; }
    std::uint8_t Rotor() const { return rotor; }
    std::uint8_t Ratchet() const { return ratchet; }
    std::uint8_t Avalanche() const { return avalanche; }
    std::uint8_t LastPlain() const { return last_plain; }
    std::uint8_t LastCipher() const { return last_cipher; }

protected:
    std::uint8_t Encipher(std::uint8_t p);
    std::uint8_t Decipher(std::uint8_t c);
    // The byte step over a buffer with the state held in locals; out may equal in.
    void EncipherBuffer(std::uint8_t* out, const std::uint8_t* in, std::size_t n);
    void DecipherBuffer(std::uint8_t* out, const std::uint8_t* in, std::size_t n);

private:
    void SetKey(const std::uint8_t* key, std::size_t length);
    std::uint8_t PickCard(std::uint8_t limit, const std::uint8_t* key, std::size_t length, std::size_t& keypos,
                          std::uint8_t& rsum);
    template <bool Enciphering>
    void Process(std::uint8_t* out, const std::uint8_t* in, std::size_t n);

    std::uint8_t* cards = nullptr;
    std::uint8_t rotor = 0;
    std::uint8_t ratchet = 0;
    std::uint8_t avalanche = 0;
    std::uint8_t last_plain = 0;
    std::uint8_t last_cipher = 0;
};

class SapphireEncryption final : public StreamCipher, public SapphireBase {
public:
    SapphireEncryption(const std::uint8_t* key, std::size_t length) : SapphireBase(key, length) {}
    std::uint8_t CipherByte(std::uint8_t b) override;
    void CipherString(std::uint8_t* out, const std::uint8_t* in, std::size_t n) override;
    void CipherInPlace(std::uint8_t* buf, std::size_t n) override;
};

class SapphireDecryption final : public StreamCipher, public SapphireBase {
public:
    SapphireDecryption(const std::uint8_t* key, std::size_t length) : SapphireBase(key, length) {}
    std::uint8_t CipherByte(std::uint8_t b) override;
    void CipherString(std::uint8_t* out, const std::uint8_t* in, std::size_t n) override;
    void CipherInPlace(std::uint8_t* buf, std::size_t n) override;
};

}  // namespace pelmora
