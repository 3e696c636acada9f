#pragma once
// The Windows headers the platform layer uses, in the order they need: Winsock 2 before windows.h,
// IP Helper after both.
#include <iphlpapi.h>
#include <mswsock.h>
#include <shellapi.h>
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>
