#include "protocol/Wink.h"

#include "protocol/PacketEnvelope.h"
#include "protocol/Payloads.h"
#include "protocol/SendTwice.h"

namespace pelmora {

void SendWink(Transport& transport, Clock& clock, const ElementList& list, Ipv4Host destination) {
    auto payload = WinkPayload(list);
    if (!payload) return;
    const SealedPacket packet(std::move(*payload));
    SendSealedTwice(transport, clock, packet, destination);
}

}  // namespace pelmora
