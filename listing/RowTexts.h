#pragma once
// The nine texts of one device-list row, by column.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "protocol/DeviceRecord.h"

namespace pelmora {

constexpr std::size_t COLUMN_COUNT = 9;
enum Column : std::size_t {
    COL_UNIT,
    COL_IP_ADDRESS,
    COL_BACNET,
    COL_DEVICE_ID,
    COL_DEVICE_NAME,
    COL_PLA,
    COL_ELA,
    COL_LOCATION,
    COL_REVISION
};

using RowText = std::array<std::string, COLUMN_COUNT>;
using RowTextList = std::vector<RowText>;

// Whether the record has BACnet: only then are its BACnet columns filled and its row editable.
bool HasBacnet(const DeviceRecord& record);

// The number the "Device ID" column shows: the device ID, or for the factory default -1 the number the
// device answers with until it gets one, formed from the last two MAC bytes.
long ShownDeviceNumber(const DeviceRecord& record);

// The texts of a row; the BACnet columns are empty unless the record has BACnet.
RowText RowTexts(const DeviceRecord& record);

}  // namespace pelmora
