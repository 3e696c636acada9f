#pragma once
// The real transport: this PC's UDP sockets (UdpSocket) and its address table.
#include "platform/Transport.h"

namespace pelmora {

class UdpTransport final : public Transport {
public:
    std::unique_ptr<DatagramSocket> Open(const SocketOptions& options) override;
    bool WaitReadable(const std::vector<DatagramSocket*>& sockets, Clock::TimePoint deadline) override;
    std::optional<std::vector<AddressRow>> ReadAddressTable(std::size_t maxRows) override;
    bool BoundSocketsHearBroadcast() const override;
};

}  // namespace pelmora
