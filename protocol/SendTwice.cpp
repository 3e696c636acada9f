#include "SendTwice.h"

#include <thread>
#include <vector>

#include "InterfaceTable.h"
#include "PacketEnvelope.h"

namespace pelmora {

namespace {

bool IsLoopback(Ipv4Net address) { return ToOctets(address).bytes[0] == 127; }

std::vector<UdpSocket> OpenAddressSockets() {
    std::vector<UdpSocket> sockets;
    const auto table = ReadInterfaceTable();
    if (!table) return sockets;
    for (const Ipv4Net address : table->rows) {
        if (IsLoopback(address)) continue;
        if (auto socket = OpenPortSocket(address, DEVICE_PORT)) sockets.push_back(std::move(*socket));
    }
    return sockets;
}

}  // namespace

void SendSealedTwice(const BufferPart (&sealed)[2], Ipv4Host destination) {
    auto socket = UdpSocket::Create();
    if (!socket) return;
    socket->SetBroadcast();
    socket->SetReuseAddress();
    socket->Bind(ToNet(ANY_ADDRESS), DEVICE_PORT);

    const Ipv4Net to = ToNet(destination);
    std::vector<UdpSocket> perAddress;
    bool usePerAddress = false;
    const auto sendOnce = [&] {
        if (!usePerAddress && socket->SendTo(sealed, to, DEVICE_PORT)) return;
        if (!usePerAddress) {
            perAddress = OpenAddressSockets();
            usePerAddress = !perAddress.empty();
        }
        for (UdpSocket& s : perAddress) s.SendTo(sealed, to, DEVICE_PORT);
    };
    sendOnce();
    std::this_thread::sleep_for(REPEAT_PAUSE);
    sendOnce();
}

}  // namespace pelmora
