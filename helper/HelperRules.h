#pragma once
// What the network helper agrees to add to: an Ethernet adapter of its own (IsEthernetAdapter) of an
// accepted kind (RefuseLinkKind) that holds no IPv4 address, as the links are when the request arrives.
#include <optional>
#include <string>
#include <vector>

#include "platform/Adapters.h"

namespace pelmora {

// Why an add to the link must be refused; nothing when it may go ahead. links is the helper's own
// reading of the links (nothing when they could not be read).
std::optional<std::string> RefuseAdd(int ifIndex, const std::optional<std::vector<AdapterInfo>>& links);

}  // namespace pelmora
