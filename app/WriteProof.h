#pragma once
// What the main window shows of a write once its rescan is done: a mark for the device's row, by the
// verification rule, or, for a device that did not answer, a message naming it.
#include <optional>
#include <string>

#include "devices/DeviceSettings.h"
#include "protocol/DeviceRecord.h"
#include "protocol/ElementList.h"

namespace pelmora {

// "confirmed", or "differs: Device ID, IP address" naming the written settings the device reports
// otherwise, as a plan's report says them.
std::string WriteMark(const DeviceSettings& written, const DeviceRecord& seen);

// "The device 00:50:C2:8F:10:01 was not seen after the write to 192.168.10.21." (or "... with DHCP on").
std::string NotSeenText(const DeviceSettings& written);

// The device's record among the replies, when it answered.
std::optional<DeviceRecord> SeenRecord(const ReplyStore& replies, const MacBytes& mac);

}  // namespace pelmora
