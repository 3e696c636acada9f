#pragma once
// The Windows headers of the dialog back end, in the order they need. windows.h defines IDOK and
// IDCANCEL as macros, so resources/ResourceIds.h must come before this header wherever both are used.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
