#include "protocol/Crc32.h"

#include <zlib.h>

#include "protocol/ByteOrder.h"

namespace pelmora {

void Crc32::Update(const std::uint8_t* data, std::uint32_t length) {
    m_crc = static_cast<std::uint32_t>(crc32(m_crc, data, length));
}

void Crc32::Final(std::uint8_t* out) {
    StoreLe32(out, m_crc);
    m_crc = 0;
}

}  // namespace pelmora
