#pragma once
// The configuration write: the element list built from the edited values, sent to the device's address
// and by broadcast, each twice, with the neighbour entries flushed after each.
#include <chrono>

#include "base/Ipv4.h"
#include "protocol/ConfigPayload.h"
#include "protocol/DeviceNetwork.h"
#include "protocol/ElementList.h"
#include "protocol/MacAddress.h"

namespace pelmora {

constexpr std::chrono::milliseconds AFTER_FLUSH_PAUSE{200};
constexpr std::chrono::milliseconds BETWEEN_DESTINATIONS_PAUSE{250};

// BuildConfigPayload, then 00 04 and the list sent twice to destination, the neighbour entries of
// destination and of the broadcast address deleted, and a pause on the network's clock. Sends nothing
// when the list has no MAC element; skips the flush and the pause when nothing could be sent.
void SendConfig(DeviceNetwork& network, ElementList& list, ConfigFields& fields, Ipv4Host destination);

// The whole write for the device with this MAC: SendConfig to its current address with its entry of
// the reply store (inserted empty when missing), a pause, SendConfig by broadcast.
void WriteConfiguration(DeviceNetwork& network, ReplyStore& replies, const MacBytes& mac, Ipv4Host currentAddress,
                        ConfigFields& fields);

}  // namespace pelmora
