#pragma once
// The Windows headers of the platform layer and the Win32 dialog back end, in the order they need:
// Winsock 2 before windows.h; the common controls, IP Helper and the shell after both. windows.h defines
// IDOK and IDCANCEL as macros, so ui/DialogIds.h must come before this header wherever both are used.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <commctrl.h>
#include <iphlpapi.h>
#include <mswsock.h>
#include <shellapi.h>
// clang-format on
