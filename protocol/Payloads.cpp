#include "protocol/Payloads.h"

#include "protocol/WireFormat.h"

namespace pelmora {

Payload DiscoveryRequestPayload() { return Payload{PAYLOAD_LEAD, CMD_DISCOVERY_REQUEST}; }

std::optional<Payload> WinkPayload(const ElementList& list) {
    const long mac = FindElement(list, reply::MAC);
    if (mac < 0) return std::nullopt;
    Payload payload{PAYLOAD_LEAD, CMD_WINK};
    const auto first = list.begin() + mac;
    payload.insert(payload.end(), first, first + reply::MAC.width);
    payload.push_back(WINK_END);
    return payload;
}

Payload ConfigWritePayload(const ElementList& list) {
    Payload payload{PAYLOAD_LEAD, CMD_CONFIG_WRITE};
    payload.insert(payload.end(), list.begin(), list.end());
    return payload;
}

}  // namespace pelmora
