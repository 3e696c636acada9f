#pragma once
// The discovery scan: one request from every local address, two receive windows, the latest reply
// of every device kept by MAC.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "base/Ipv4.h"
#include "platform/Clock.h"
#include "platform/Transport.h"
#include "protocol/DeviceStore.h"
#include "protocol/ElementList.h"
#include "protocol/InterfaceTable.h"

namespace pelmora {

constexpr std::size_t MAX_SCAN_SOCKETS = 100;
constexpr std::chrono::milliseconds RECEIVE_WINDOW{2000};
// Room for every device on a segment answering at once (the kernel caps it at net.core.rmem_max).
constexpr int SCAN_RECEIVE_BUFFER = 2 * 1024 * 1024;

// Sends the request to destination:DEVICE_PORT and collects replies into `replies` for both windows.
// False when the broadcast socket cannot be created: then nothing was sent and `replies` is unchanged.
bool RunDiscovery(Transport& transport, Clock& clock, const InterfaceTable& table, Ipv4Host destination,
                  ReplyStore& replies);

// Reply handling for one received datagram (deciphered in place). True when it was stored.
bool AcceptReply(std::uint8_t* datagram, std::size_t length, ReplyStore& replies);

// ResetRecords, then one record per entry in key order (the first 256).
void RebuildDeviceStore(const ReplyStore& replies, DeviceStore& store);

}  // namespace pelmora
