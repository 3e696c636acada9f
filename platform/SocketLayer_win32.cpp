#include "platform/SocketLayer.h"

#include "platform/Win32Headers_win32.h"

namespace pelmora {

SocketLayer::SocketLayer() {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    // A layer that offers less than 2.2 lacks what the scan needs; it is given back at once.
    if (data.wVersion != MAKEWORD(2, 2)) {
        WSACleanup();
        return;
    }
    m_started = true;
}

SocketLayer::~SocketLayer() {
    if (m_started) WSACleanup();
}

}  // namespace pelmora
