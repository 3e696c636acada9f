#include "platform/LibrarySearch.h"

#include "platform/Win32Headers_win32.h"

namespace pelmora {

void LoadLibrariesFromSystemOnly() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

}  // namespace pelmora
