#include "platform/Adapters.h"

namespace pelmora {

bool HoldsIpv4Address(const AdapterInfo& adapter) {
    for (const std::optional<Ipv4Net>& entry : adapter.unicast) {
        if (entry && ToOctets(*entry).bytes[0] != 0) return true;
    }
    return false;
}

}  // namespace pelmora
