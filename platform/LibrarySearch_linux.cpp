#include "platform/LibrarySearch.h"

namespace pelmora {

void LoadLibrariesFromSystemOnly() {}

}  // namespace pelmora
