#pragma once
// The repeated send of every datagram that changes something on a device, and of the wink.
#include <chrono>

#include "base/Ipv4.h"
#include "platform/Clock.h"
#include "platform/Transport.h"
#include "protocol/PacketEnvelope.h"

namespace pelmora {

constexpr std::chrono::milliseconds REPEAT_PAUSE{200};

// Sends the sealed packet to destination:DEVICE_PORT twice, REPEAT_PAUSE apart, from a socket bound to
// 0.0.0.0:DEVICE_PORT (SO_REUSEADDR; a failed bind is not fatal). When a send finds no route, as a
// broadcast does on a PC without a default route, it goes instead once from each link, from a socket
// bound to the link's first non-loopback address and DEVICE_PORT, which leaves by that link: a device
// still gets each send once. False, with nothing sent and no pause, when no socket can be created.
bool SendSealedTwice(Transport& transport, Clock& clock, const SealedPacket& packet, Ipv4Host destination);

// One of those sends, with its own socket (and its own fallback to the links).
bool SendSealedOnce(Transport& transport, const SealedPacket& packet, Ipv4Host destination);

}  // namespace pelmora
