#pragma once
// Whole datagrams as the simulator sends them: header and payload in one buffer.
#include <cstdint>
#include <vector>

namespace pelmora {

using Datagram = std::vector<std::uint8_t>;

// The payload sealed with SealPacket, header first.
Datagram SealDatagram(std::vector<std::uint8_t> payload);

}  // namespace pelmora
