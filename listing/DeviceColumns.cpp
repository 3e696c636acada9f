#include "listing/DeviceColumns.h"

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

}  // namespace pelmora
