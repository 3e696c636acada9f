#pragma once
// The device protocol's wire format in one table: the port, the command bytes, and every element of the
// discovery reply and of the configuration write with its tag, width and encoding. Product, tests and
// fuzz target all name the wire through this header; only the device simulator keeps its own copy.
//
// Byte order is chosen per tag by the devices, which are in the field and will not change: the BACnet
// values (device ID, BACnet/IP port) and tags 3, 6 and 35 are least significant byte first, while the
// revision, the feature and debug flags and tag 5 are most significant byte first. A reader therefore
// takes the order from this table and never assumes one for a whole packet. (The envelope's own fields
// are little-endian, see PacketEnvelope.cpp.)
#include <cstdint>

namespace pelmora {

constexpr std::uint16_t DEVICE_PORT = 26487;

// Every payload starts with this byte and a command byte.
constexpr std::uint8_t PAYLOAD_LEAD = 0x00;
constexpr std::uint8_t CMD_DISCOVERY_REQUEST = 0x00;
constexpr std::uint8_t CMD_DISCOVERY_REPLY = 0x03;
constexpr std::uint8_t CMD_CONFIG_WRITE = 0x04;
constexpr std::uint8_t CMD_WINK = 0x05;

// The wink payload: lead, command, the six MAC bytes, then this end byte.
constexpr std::uint8_t WINK_END = 0x0A;

enum class Encoding : std::uint8_t {
    Octets,        // bytes in order: a MAC, an IPv4 address first octet first, PLA then ELA
    LittleEndian,  // unsigned (or two's complement where noted), least significant byte first
    BigEndian,     // unsigned, most significant byte first
    FloatLe,       // IEEE 754 single precision, least significant byte first
    Flag,          // one byte: 0 off, anything else on
    Text,          // UTF-8 of the length byte's size; a NUL inside the value ends the text
};

// One element kind. `width` is the number of value bytes a reader takes (0: as many as the length
// byte says, for texts).
struct ElementSpec {
    std::uint8_t tag;
    std::uint8_t width;
    Encoding encoding;
};

// Elements of a discovery reply (payload 00 03, then the list).
namespace reply {
constexpr ElementSpec MAC{1, 6, Encoding::Octets};
constexpr ElementSpec REAL_3{3, 4, Encoding::FloatLe};
constexpr ElementSpec NUMBER_5{5, 4, Encoding::BigEndian};  // 4 bytes when the length is 4, else the first 2
constexpr ElementSpec WORD_6{6, 2, Encoding::LittleEndian};
constexpr ElementSpec REVISION{34, 4, Encoding::BigEndian};  // four one-byte parts, most significant first
constexpr ElementSpec WORD_35{35, 2, Encoding::LittleEndian};
constexpr ElementSpec FEATURES{36, 4, Encoding::BigEndian};  // as NUMBER_5; bit FEATURE_BACNET
constexpr ElementSpec IP_ADDRESS{64, 4, Encoding::Octets};
constexpr ElementSpec SUBNET_MASK{65, 4, Encoding::Octets};
constexpr ElementSpec GATEWAY{66, 4, Encoding::Octets};
constexpr ElementSpec DNS_FIRST{68, 4, Encoding::Octets};
constexpr ElementSpec DNS_SECOND{69, 4, Encoding::Octets};
constexpr ElementSpec TEXT_102{102, 0, Encoding::Text};
constexpr ElementSpec DESCRIPTION{103, 0, Encoding::Text};
constexpr ElementSpec STATION{105, 2, Encoding::Octets};  // PLA, then ELA
constexpr ElementSpec DHCP{106, 1, Encoding::Flag};
constexpr ElementSpec DEVICE_ID{124, 4, Encoding::LittleEndian};  // signed; -1 is the factory default
constexpr ElementSpec DEVICE_NAME{126, 0, Encoding::Text};
constexpr ElementSpec BACNET_PORT{127, 2, Encoding::LittleEndian};
constexpr ElementSpec BBMD_ADDRESS{128, 0, Encoding::Text};
constexpr ElementSpec LOCATION{129, 0, Encoding::Text};
constexpr ElementSpec DEBUG_FLAGS{130, 4, Encoding::BigEndian};  // any length but 4 reads as 0
}  // namespace reply

constexpr std::uint32_t FEATURE_BACNET = 0x10;

// Elements of a configuration write (payload 00 04, then the list), in the order they are written.
// The four addresses are the reply's address tags plus 0x20; every other tag means what it means in a
// reply. The write has no counterpart of the reply's second DNS server.
namespace write {
constexpr ElementSpec MAC = reply::MAC;
constexpr ElementSpec IP_ADDRESS{0x60, 4, Encoding::Octets};
constexpr ElementSpec SUBNET_MASK{0x61, 4, Encoding::Octets};
constexpr ElementSpec GATEWAY{0x62, 4, Encoding::Octets};
constexpr ElementSpec DNS{0x64, 4, Encoding::Octets};
constexpr ElementSpec TEXT_102 = reply::TEXT_102;
constexpr ElementSpec DESCRIPTION = reply::DESCRIPTION;
constexpr ElementSpec STATION = reply::STATION;
constexpr ElementSpec DHCP = reply::DHCP;
constexpr ElementSpec DEVICE_ID = reply::DEVICE_ID;
constexpr ElementSpec DEVICE_NAME = reply::DEVICE_NAME;
constexpr ElementSpec BACNET_PORT = reply::BACNET_PORT;
constexpr ElementSpec BBMD_ADDRESS = reply::BBMD_ADDRESS;
constexpr ElementSpec LOCATION = reply::LOCATION;
constexpr ElementSpec DEBUG = reply::DEBUG_FLAGS;
}  // namespace write

}  // namespace pelmora
