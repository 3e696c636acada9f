#include "listing/RowTexts.h"

#include <cstdio>

#include "base/Ipv4.h"
#include "protocol/MacAddress.h"
#include "protocol/WireFormat.h"

namespace pelmora {

namespace {

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

bool HasBacnet(const DeviceRecord& record) { return (record.featureFlags & FEATURE_BACNET) != 0; }

long ShownDeviceNumber(const DeviceRecord& record) {
    if (record.deviceId == -1) return long{record.mac[4]} * 256 + long{record.mac[5]};
    return record.deviceId;
}

RowText RowTexts(const DeviceRecord& r) {
    RowText texts;
    char text[64];
    texts[COL_UNIT] = MacText(r.mac);
    texts[COL_IP_ADDRESS] = ToText(Ipv4Octets{{r.ipAddress[0], r.ipAddress[1], r.ipAddress[2], r.ipAddress[3]}});
    texts[COL_PLA] = std::to_string(unsigned{r.pla});
    texts[COL_ELA] = std::to_string(unsigned{r.ela});
    std::snprintf(text, sizeof text, "%u.%u-%u-%.2u", unsigned{(r.revision >> 24) & 0xFFu},
                  unsigned{(r.revision >> 16) & 0xFFu}, unsigned{(r.revision >> 8) & 0xFFu},
                  unsigned{r.revision & 0xFFu});
    texts[COL_REVISION] = text;

    if (HasBacnet(r)) {
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
