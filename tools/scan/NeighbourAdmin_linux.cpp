#include "helper/NetHelperClient.h"
#include "platform/HelperChannel_linux.h"
#include "tools/scan/PlanCommand.h"

namespace pelmora {

std::unique_ptr<NetworkAdmin> StartNeighbourAdmin(std::string& note) {
    std::string error;
    std::unique_ptr<NetworkAdmin> helper = NetHelperClient::Start({InstalledHelperPath()}, error);
    if (!helper) note = "no network helper (" + error + "): the writes go without the neighbour flush";
    return helper;
}

}  // namespace pelmora
