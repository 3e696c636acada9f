#include <cstdio>

#include "DeviceRecord.h"

namespace pelmora {

const std::array<ColumnSpec, COLUMN_COUNT> DEVICE_COLUMNS = {{
    {"Unit", 100},
    {"IP address", 90},
    {"BACnet", 55},
    {"Device ID", 65},
    {"Device Name", 100},
    {"PLA", 35},
    {"ELA", 35},
    {"Location", 60},
    {"Revision", 55},
}};

namespace {

// The number the "Device ID" column shows: the device ID, or for the factory default -1 the number
// formed from the last two MAC bytes.
long ShownDeviceNumber(const DeviceRecord& r) {
    if (r.deviceId == -1) return long{r.mac[4]} * 256 + long{r.mac[5]};
    return r.deviceId;
}

std::string ExpandName(const std::string& name, long number) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%.7ld", number);
    std::string shown;
    for (char c : name) {
        if (c == '$') {
            shown += digits;
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace

std::array<std::string, COLUMN_COUNT> RowTexts(const DeviceRecord& r) {
    std::array<std::string, COLUMN_COUNT> texts;
    char text[64];
    std::snprintf(text, sizeof text, "%.2X:%.2X:%.2X:%.2X:%.2X:%.2X", unsigned{r.mac[0]}, unsigned{r.mac[1]},
                  unsigned{r.mac[2]}, unsigned{r.mac[3]}, unsigned{r.mac[4]}, unsigned{r.mac[5]});
    texts[COL_UNIT] = text;
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned{r.ipAddress[0]}, unsigned{r.ipAddress[1]},
                  unsigned{r.ipAddress[2]}, unsigned{r.ipAddress[3]});
    texts[COL_IP_ADDRESS] = text;
    texts[COL_PLA] = std::to_string(unsigned{r.pla});
    texts[COL_ELA] = std::to_string(unsigned{r.ela});
    std::snprintf(text, sizeof text, "%u.%u-%u-%.2u", unsigned{(r.revision >> 24) & 0xFFu},
                  unsigned{(r.revision >> 16) & 0xFFu}, unsigned{(r.revision >> 8) & 0xFFu},
                  unsigned{r.revision & 0xFFu});
    texts[COL_REVISION] = text;

    if ((r.featureFlags & FEATURE_BACNET) != 0) {
        const long number = ShownDeviceNumber(r);
        texts[COL_BACNET] = "Yes";
        std::snprintf(text, sizeof text, r.deviceId == -1 ? "(%ld)" : "%ld", number);
        texts[COL_DEVICE_ID] = text;
        texts[COL_DEVICE_NAME] = ExpandName(r.deviceName, number);
        texts[COL_LOCATION] = r.location;
    }
    return texts;
}

}  // namespace pelmora
