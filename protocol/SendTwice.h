#pragma once
// The repeated send of every datagram that changes something on a device, and of the wink.
#include <chrono>

#include "Ipv4.h"
#include "UdpSocket.h"

namespace pelmora {

constexpr std::chrono::milliseconds REPEAT_PAUSE{200};

// Sends the sealed datagram to destination:DEVICE_PORT twice, REPEAT_PAUSE apart, from a socket bound to
// 0.0.0.0:DEVICE_PORT (SO_BROADCAST, SO_REUSEADDR; a failed bind is not fatal). Where such a send fails,
// as a broadcast does on a PC without a default route, that send goes instead from a socket bound to
// each non-loopback local address and DEVICE_PORT, which leaves by that address's interface.
void SendSealedTwice(const BufferPart (&sealed)[2], Ipv4Host destination);

}  // namespace pelmora
