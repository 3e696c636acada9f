#include "editing/ConfigWrite.h"

#include "protocol/MacAddress.h"
#include "protocol/Payloads.h"

namespace pelmora {

void SendConfig(DeviceNetwork& network, ElementList& list, ConfigFields& fields, Ipv4Host destination) {
    if (!BuildConfigPayload(list, fields)) return;
    if (!network.SendTwice(ConfigWritePayload(list), destination)) return;
    network.FlushArpEntries(destination);
    network.FlushArpEntries(BROADCAST_ADDRESS);
    network.Time().SleepFor(AFTER_FLUSH_PAUSE);
}

void WriteConfiguration(EditHost& host, const std::uint8_t (&mac)[6], Ipv4Host currentAddress, ConfigFields& fields) {
    const std::string key = MacKey(mac);
    SendConfig(host.Network(), host.Replies()[key], fields, currentAddress);
    host.Network().Time().SleepFor(BETWEEN_DESTINATIONS_PAUSE);
    SendConfig(host.Network(), host.Replies()[key], fields, BROADCAST_ADDRESS);
}

}  // namespace pelmora
