#pragma once
// The Windows headers the platform layer uses, in the order they need: Winsock 2 before windows.h,
// IP Helper and the shell after both.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <mswsock.h>
#include <shellapi.h>
// clang-format on
