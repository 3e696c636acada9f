#include "platform/ListSeparator.h"

namespace pelmora {

// Linux spreadsheets ask for the separator when they open a CSV file; a comma is what they offer first.
std::string UserListSeparator() { return ","; }

}  // namespace pelmora
