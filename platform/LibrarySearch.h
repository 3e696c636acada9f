#pragma once
// Where the process loads DLLs from.

namespace pelmora {

// Windows: every DLL loaded from here on (the delay-loaded ones included) comes from System32 only,
// never from the program's own folder, where anyone who can write there could plant one. The first
// call of every main. Linux: nothing to do.
void LoadLibrariesFromSystemOnly();

}  // namespace pelmora
