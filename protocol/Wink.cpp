#include "Wink.h"

#include <cstring>

#include "PacketEnvelope.h"
#include "SendTwice.h"

namespace pelmora {

namespace {
constexpr std::size_t WINK_PAYLOAD_LENGTH = 9;
constexpr std::uint8_t WINK_END = 0x0A;
}  // namespace

void SendWink(const ElementList& list) {
    const long mac = FindElement(list, TAG_MAC, MAC_LENGTH);
    if (mac < 0) return;
    std::uint8_t payload[WINK_PAYLOAD_LENGTH] = {0x00, CMD_WINK};
    std::memcpy(payload + 2, list.data() + mac, MAC_LENGTH);
    payload[WINK_PAYLOAD_LENGTH - 1] = WINK_END;
    std::uint8_t header[HEADER_CAPACITY];
    BufferPart parts[2] = {{HEADER_CAPACITY, header}, {WINK_PAYLOAD_LENGTH, payload}};
    if (!SealPacket(parts)) return;
    SendSealedTwice(parts, BROADCAST_ADDRESS);
}

}  // namespace pelmora
