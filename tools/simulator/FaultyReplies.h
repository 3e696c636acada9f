#pragma once
// Discovery replies broken on purpose, each in one way, built from a device's good reply.
#include "tools/simulator/Datagram.h"
#include "tools/simulator/FaultKind.h"
#include "tools/simulator/SimDevice.h"

namespace pelmora {

// The device's reply, broken as kind says (FaultKind::None gives the good reply).
Datagram BuildFaultyReply(FaultKind kind, const SimDevice& device);

// The envelope around a payload in plaintext, checks computed, before enciphering.
std::vector<std::uint8_t> PlainEnvelope(const std::vector<std::uint8_t>& payload);
// Enciphers a whole plaintext datagram as SealPacket would.
Datagram EncipherDatagram(std::vector<std::uint8_t> plain);

}  // namespace pelmora
