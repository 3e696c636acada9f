#include "platform/LocalNetworkAdmin_win32.h"
#include "tools/scan/PlanCommand.h"

namespace pelmora {

std::unique_ptr<NetworkAdmin> StartNeighbourAdmin(std::string&) {
    // As the window does there: with the user's own rights, silently without them.
    return std::make_unique<LocalNetworkAdmin>();
}

}  // namespace pelmora
