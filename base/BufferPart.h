#pragma once
// One part of a gather send (length, then pointer): the packet envelope fills a pair of these, header and
// payload, and the socket layer sends the pair as one datagram.
#include <cstdint>

namespace pelmora {

struct BufferPart {
    std::uint32_t length = 0;
    std::uint8_t* data = nullptr;
};

}  // namespace pelmora
