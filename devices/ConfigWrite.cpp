#include "devices/ConfigWrite.h"

#include "protocol/Payloads.h"

namespace pelmora {

void SendConfig(DeviceNetwork& network, ElementList& list, ConfigFields& fields, Ipv4Host destination) {
    if (!BuildConfigPayload(list, fields)) return;
    if (!network.SendTwice(ConfigWritePayload(list), destination)) return;
    network.FlushArpEntries(destination);
    network.FlushArpEntries(BROADCAST_ADDRESS);
    network.Time().SleepFor(AFTER_FLUSH_PAUSE);
}

void WriteConfiguration(DeviceNetwork& network, ReplyStore& replies, const MacBytes& mac, Ipv4Host currentAddress,
                        ConfigFields& fields) {
    const std::string key = MacKey(mac);
    SendConfig(network, replies[key], fields, currentAddress);
    network.Time().SleepFor(BETWEEN_DESTINATIONS_PAUSE);
    SendConfig(network, replies[key], fields, BROADCAST_ADDRESS);
}

}  // namespace pelmora
