#pragma once
// The envelope's CRC-32 (the one zlib computes), updated over several byte ranges and stored least
// significant byte first.
#include <cstdint>

namespace pelmora {

class Crc32 {
public:
    void Update(const std::uint8_t* data, std::uint32_t length);
    // Writes the four check bytes and starts over, ready for the next check.
    void Final(std::uint8_t* out);

private:
    std::uint32_t m_crc = 0;
};

}  // namespace pelmora
