#pragma once
// A window's handle without windows.h, so the back end's headers stay free of it: the same type as
// windows.h's HWND (a pointer to the incomplete struct HWND__).
struct HWND__;

namespace pelmora {

using WindowHandle = HWND__*;

}  // namespace pelmora
