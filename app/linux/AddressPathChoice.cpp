#include "app/linux/AddressPathChoice.h"

namespace pelmora {

bool ShouldActivate(const NetworkManagerAnswers& answers) { return answers.running && answers.managesAdapter; }

AddressPathChoice ChooseAddressPath(const NetworkManagerAnswers& answers, const std::string& adapter) {
    if (!answers.running) return {AddressPath::Helper, "NetworkManager is not running"};
    if (!answers.managesAdapter) return {AddressPath::Helper, "NetworkManager does not manage " + adapter};
    if (!answers.activated) return {AddressPath::Helper, "NetworkManager refused: " + answers.refusal};
    return {AddressPath::NetworkManager, "NetworkManager manages " + adapter};
}

}  // namespace pelmora
