#include "platform/SocketLayer.h"

#include "platform/UdpSocket.h"

namespace pelmora {

SocketLayer::SocketLayer() : m_started(UdpSocket::Create().has_value()) {}

SocketLayer::~SocketLayer() = default;

}  // namespace pelmora
