#pragma once
// The configuration write: the element list built from the edit dialog's values, and its sending to
// the device's address and by broadcast, each twice, with the neighbour entries flushed after each.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "DeviceNetwork.h"
#include "EditHost.h"
#include "ElementList.h"
#include "Ipv4.h"

namespace pelmora {

// The write's element tags (a reply's address tags plus 0x20 for the four addresses).
constexpr std::uint8_t TAG_WRITE_ADDRESS = 0x60;
constexpr std::uint8_t TAG_WRITE_SUBNET_MASK = 0x61;
constexpr std::uint8_t TAG_WRITE_GATEWAY = 0x62;
constexpr std::uint8_t TAG_WRITE_DNS = 0x64;
constexpr std::uint8_t TAG_TEXT_102 = 0x66;
constexpr std::uint8_t TAG_DESCRIPTION = 0x67;
constexpr std::uint8_t TAG_STATION = 0x69;
constexpr std::uint8_t TAG_DHCP = 0x6A;
constexpr std::uint8_t TAG_DEVICE_ID = 0x7C;
constexpr std::uint8_t TAG_DEVICE_NAME = 0x7E;
constexpr std::uint8_t TAG_BACNET_PORT = 0x7F;
constexpr std::uint8_t TAG_BBMD_ADDRESS = 0x80;
constexpr std::uint8_t TAG_LOCATION = 0x81;
constexpr std::uint8_t TAG_DEBUG = 0x82;

constexpr std::int32_t FACTORY_DEFAULT_DEVICE_ID = -1;
constexpr char FACTORY_DEFAULT_TEXT[] = "[factory default]";  // how the dialog shows -1
constexpr int DEVICE_ID_LIMIT = 0x3FFFFF;                     // this and above are sent as the factory default

constexpr std::chrono::milliseconds AFTER_FLUSH_PAUSE{200};
constexpr std::chrono::milliseconds BETWEEN_DESTINATIONS_PAUSE{250};

// The edit dialog's values as the write reads them. An address is nothing when its control is blank;
// texts are UTF-8.
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
    std::string deviceIdText;
    std::uint8_t pla = 254;
    std::uint8_t ela = 254;
    int port = 47808;
    bool foreignDevice = false;
    bool debug = false;
};

// The device ID the write carries for a device-ID text: its decimal conversion, or -1 when that is
// negative or DEVICE_ID_LIMIT or more, or when the text is FACTORY_DEFAULT_TEXT.
std::int32_t DeviceIdForWrite(const std::string& deviceIdText);

// Replaces list (the device's stored element list) with the write's element list, the MAC element
// copied from it. Changes the fields as the write does: "#" becomes "_" in name, description and
// location; the BBMD address is emptied when foreign-device registration is off. False, with list and
// fields unchanged, when the list has no MAC element.
bool BuildConfigPayload(ElementList& list, ConfigFields& fields);

// BuildConfigPayload, then 00 04 and the list sent twice to destination, the neighbour entries of
// destination and of the broadcast address deleted, and a pause. Sends nothing when the list has no
// MAC element.
void SendConfig(DeviceNetwork& network, ElementList& list, ConfigFields& fields, Ipv4Host destination);

// The whole write for the device with this MAC: SendConfig to its current address with its entry of
// the host's reply store (inserted empty when missing), a pause, SendConfig by broadcast.
void WriteConfiguration(EditHost& host, const std::uint8_t (&mac)[6], Ipv4Host currentAddress, ConfigFields& fields);

}  // namespace pelmora
