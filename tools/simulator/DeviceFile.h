#pragma once
// The device file: one device per line of key=value pairs (format in README.md).
#include <istream>
#include <string>
#include <vector>

#include "tools/simulator/SimDevice.h"

namespace pelmora {

// Bytes below 0x21, 0x7F and "%" become %XX; everything else, UTF-8 included, stays.
std::string PercentEncode(const std::string& text);
bool PercentDecode(const std::string& text, std::string& out);

// One device from one line; on failure error says why and device is unchanged.
bool ParseDeviceLine(const std::string& line, SimDevice& device, std::string& error);
// The line that ParseDeviceLine reads back into the same device.
std::string FormatDeviceLine(const SimDevice& device);

// Appends the devices of a whole file; blank lines and lines starting with "#" are skipped.
// Errors name the line number.
bool ReadDeviceFile(std::istream& in, std::vector<SimDevice>& devices, std::string& error);

}  // namespace pelmora
