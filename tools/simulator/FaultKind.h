#pragma once
// The ways a reply can be broken on purpose, so that tests see the scan drop each one.
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

enum class FaultKind {
    None,
    BadPacketCheck,  // packet check does not match
    BadHeadCheck,    // long form, payload-head check does not match, packet check right
    BadLength,       // total-length field one more than the datagram
    ShortDatagram,   // 5 bytes, shorter than any header
    EmptyReply,      // payload exactly 00 03
    CutList,         // last element announces more bytes than remain
    ShortMac,        // MAC element of length 5
    NoMac,           // well-formed list without a MAC element
    Oversize,        // validly sealed, more than 2000 bytes
    WrongCommand,    // 00 07 and a good element list
    BadLead,         // payload byte 0 is 0x01
    RequestEcho,     // payload 00 00, as the PC's own request
};

const std::vector<FaultKind>& AllFaultKinds();  // every kind but None
const char* FaultName(FaultKind kind);          // "bad-packet-check", ...
std::optional<FaultKind> ParseFaultName(const std::string& name);
// A comma-separated list of names, or "all".
bool ParseFaultList(const std::string& text, std::vector<FaultKind>& kinds);

}  // namespace pelmora
