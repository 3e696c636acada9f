#pragma once
// The simulator's own copy of the wire format, kept apart from the product's table (protocol/WireFormat.h)
// on purpose: a device built from the same table as the program would agree with it even where both are
// wrong. Tests that run the program against the simulator are an independent check only while the two
// are written separately.
#include <cstdint>

namespace pelmora::simwire {

constexpr std::uint16_t PORT = 26487;

constexpr std::uint8_t CMD_REQUEST = 0x00;
constexpr std::uint8_t CMD_REPLY = 0x03;
constexpr std::uint8_t CMD_WRITE = 0x04;
constexpr std::uint8_t CMD_WINK = 0x05;
constexpr std::uint8_t WINK_END = 0x0A;

constexpr std::uint8_t TAG_MAC = 1;
constexpr std::uint8_t MAC_LENGTH = 6;
constexpr std::uint32_t BACNET_FLAG = 0x10;

// Reply tags.
constexpr std::uint8_t R_REVISION = 34, R_FLAGS = 36, R_IP = 64, R_MASK = 65, R_GATEWAY = 66, R_DNS1 = 68, R_DNS2 = 69,
                       R_TEXT = 102, R_DESCRIPTION = 103, R_STATION = 105, R_DHCP = 106, R_DEVICE_ID = 124,
                       R_NAME = 126, R_PORT = 127, R_BBMD = 128, R_LOCATION = 129, R_DEBUG = 130;
// Write tags: the reply's address tags plus 0x20; the others as in the reply.
constexpr std::uint8_t W_IP = 0x60, W_MASK = 0x61, W_GATEWAY = 0x62, W_DNS = 0x64;

}  // namespace pelmora::simwire
