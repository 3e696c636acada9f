#include "platform/LibrarySearch.h"

#include "platform/Win32Headers.h"

namespace pelmora {

void LoadLibrariesFromSystemOnly() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

}  // namespace pelmora
