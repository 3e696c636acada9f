#pragma once
// The in-memory description of one discovered device, the table of records the list shows, and the
// texts of one list row.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ElementList.h"

namespace pelmora {

constexpr std::size_t MAX_TEXT_CHARACTERS = 63;
constexpr std::uint32_t FEATURE_BACNET = 0x10;

struct DeviceRecord {
    std::uint8_t mac[6] = {};
    float tag3Real = 0.0f;
    std::uint8_t ipAddress[4] = {};
    std::uint8_t subnetMask[4] = {};
    std::uint8_t gateway[4] = {};
    std::uint8_t dnsServers[8] = {};  // interleaved: byte 2k octet k of the first, 2k+1 of the second
    std::int32_t dhcp = 0;
    std::uint8_t pla = 0;
    std::uint8_t ela = 0;
    std::uint16_t tag6Word = 0;
    std::uint16_t tag35Word = 0;
    std::uint32_t tag5Number = 0;
    std::uint32_t featureFlags = 0;
    std::string tag102Text;  // texts: UTF-8, at most 63 characters
    std::string description;
    std::int32_t deviceId = 0;
    std::uint16_t bacnetPort = 0;
    std::string deviceName;
    std::string location;
    std::string bbmdAddress;
    std::uint32_t debugFlags = 0;
    std::uint32_t revision = 0;
};

// Fills the record from a discovery reply's element list; a malformed list leaves it untouched.
void ParseDeviceRecord(DeviceRecord& record, const ElementList& list);

// The table of records behind the device list: row i shows record i.
class DeviceStore {
public:
    static constexpr std::size_t CAPACITY = 256;
    void ResetRecords();
    DeviceRecord* NewRecord();  // nullptr when full
    DeviceRecord* RecordAt(long index);
    const DeviceRecord* RecordAt(long index) const;
    std::size_t Count() const { return m_count; }

private:
    std::array<DeviceRecord, CAPACITY> m_records{};
    std::size_t m_count = 0;
};

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
struct ColumnSpec {
    const char* heading;
    int width;  // pixels
};
extern const std::array<ColumnSpec, COLUMN_COUNT> DEVICE_COLUMNS;

// The nine texts of a device-list row; the BACnet columns are empty unless the record has BACnet.
std::array<std::string, COLUMN_COUNT> RowTexts(const DeviceRecord& record);

}  // namespace pelmora
