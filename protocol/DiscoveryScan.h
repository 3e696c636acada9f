#pragma once
// The discovery scan: one request from every local address, two receive windows, the latest reply
// of every device kept by MAC.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "DeviceRecord.h"
#include "ElementList.h"
#include "InterfaceTable.h"
#include "Ipv4.h"

namespace pelmora {

constexpr std::size_t MAX_SCAN_SOCKETS = 100;
constexpr std::chrono::milliseconds RECEIVE_WINDOW{2000};

// Sends the request to destination:DEVICE_PORT and collects replies into `replies` for both windows.
// False when the broadcast socket cannot be created: then nothing was sent and `replies` is unchanged.
bool RunDiscovery(const InterfaceTable& table, Ipv4Host destination, ReplyStore& replies);

// Reply handling for one received datagram (deciphered in place). True when it was stored.
bool AcceptReply(std::uint8_t* datagram, std::size_t length, ReplyStore& replies);

// ResetRecords, then one record per entry in key order (the first 256).
void RebuildDeviceStore(const ReplyStore& replies, DeviceStore& store);

}  // namespace pelmora
