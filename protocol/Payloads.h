#pragma once
// The three payloads the program sends: the discovery request, the wink and the configuration write.
#include <cstdint>
#include <optional>
#include <vector>

#include "protocol/ElementList.h"

namespace pelmora {

using Payload = std::vector<std::uint8_t>;

// 00 00.
Payload DiscoveryRequestPayload();

// 00 05, the six bytes of the list's MAC element, 0A; nothing when the list has no MAC element.
std::optional<Payload> WinkPayload(const ElementList& list);

// 00 04, then the element list (see BuildConfigPayload).
Payload ConfigWritePayload(const ElementList& list);

}  // namespace pelmora
