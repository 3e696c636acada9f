#pragma once
// The element list of a configuration write, built from the edit dialog's values.
#include <cstdint>
#include <optional>
#include <string>

#include "base/Ipv4.h"
#include "protocol/ElementList.h"

namespace pelmora {

constexpr std::int32_t FACTORY_DEFAULT_DEVICE_ID = -1;
constexpr int DEVICE_ID_LIMIT = 0x3FFFFF;  // this and above are sent as the factory default

// The values a configuration write carries. An address is nothing when it is left out; texts are UTF-8.
struct ConfigFields {
    bool dhcp = false;
    std::optional<Ipv4Host> address;
    std::optional<Ipv4Host> subnetMask;
    std::optional<Ipv4Host> gateway;
    std::optional<Ipv4Host> dns;
    std::string name;
    std::string description;
    std::string location;
    std::string bbmdAddress;
    std::int32_t deviceId = FACTORY_DEFAULT_DEVICE_ID;
    std::uint8_t pla = 254;
    std::uint8_t ela = 254;
    int port = 47808;
    bool foreignDevice = false;
    bool debug = false;
};

// The device ID the write carries: -1 for a negative one or DEVICE_ID_LIMIT and up.
std::int32_t DeviceIdForWrite(std::int32_t deviceId);

// Replaces list (the device's stored element list) with the write's element list, the MAC element
// copied from it. Changes the fields as the write does: "#" becomes "_" in name, description and
// location; the BBMD address is emptied when foreign-device registration is off. False, with list and
// fields unchanged, when the list has no MAC element.
bool BuildConfigPayload(ElementList& list, ConfigFields& fields);

}  // namespace pelmora
