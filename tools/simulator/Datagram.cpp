#include "tools/simulator/Datagram.h"

#include "protocol/PacketEnvelope.h"

namespace pelmora {

Datagram SealDatagram(std::vector<std::uint8_t> payload) {
    std::uint8_t header[HEADER_CAPACITY] = {};
    std::uint8_t empty = 0;
    BufferPart parts[2] = {{HEADER_CAPACITY, header},
                           {static_cast<std::uint32_t>(payload.size()), payload.empty() ? &empty : payload.data()}};
    SealPacket(parts);
    Datagram datagram(header, header + parts[0].length);
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    return datagram;
}

}  // namespace pelmora
