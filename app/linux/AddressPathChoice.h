#pragma once
// Which way the temporary address is taken. Where NetworkManager manages the adapter it removes every
// address it did not configure when its own DHCP attempt times out, so there the address must be a
// profile of its own; elsewhere the network helper adds it.
#include <string>

namespace pelmora {

enum class AddressPath { NetworkManager, Helper };

// What NetworkManager answered, in the order it was asked; a step not reached stays false.
struct NetworkManagerAnswers {
    bool running = false;
    bool managesAdapter = false;
    bool activated = false;
    std::string refusal;  // why the activation failed, in NetworkManager's words
};

struct AddressPathChoice {
    AddressPath path = AddressPath::Helper;
    std::string why;
};

// Whether the activation is worth asking for.
bool ShouldActivate(const NetworkManagerAnswers& answers);
// NetworkManager's path only where it runs, manages the adapter and activated the profile.
AddressPathChoice ChooseAddressPath(const NetworkManagerAnswers& answers, const std::string& adapter);

}  // namespace pelmora
