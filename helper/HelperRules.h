#pragma once
// What the network helper agrees to add: one 10.x.y.z/24 host address, on an Ethernet adapter of its
// own (IsEthernetAdapter) that holds no IPv4 address, as the links are when the request arrives.
#include <optional>
#include <string>
#include <vector>

#include "helper/HelperProtocol.h"
#include "platform/Adapters.h"

namespace pelmora {

// Why the add must be refused; nothing when it may go ahead. adapters is the helper's own reading of
// the links (nothing when they could not be read).
std::optional<std::string> RefuseAdd(const HelperRequest& request,
                                     const std::optional<std::vector<AdapterInfo>>& adapters);

}  // namespace pelmora
