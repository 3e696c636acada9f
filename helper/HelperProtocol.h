#pragma once
// The line protocol between the program and pelmora-net-helper. ASCII lines ending in '\n', at most
// MAX_REQUEST_LINE bytes before it; one reply line per request line, in order.
//
//   helper, once at start:  READY 1                       or  ERR <reason>, and it ends
//   ADD <ifindex>                                         ->  OK <a.b.c.d>/24 | ERR <reason>
//   DEL <ifindex> <a.b.c.d>/<prefix>                      ->  OK | ERR <reason>
//   FLUSH <a.b.c.d>                                       ->  OK <entries deleted> | ERR <reason>
//
// The helper draws the added address itself; a caller that could name it could make a destination it
// routes elsewhere local. Numbers are decimal without sign or leading zero, addresses dotted decimal as
// ToText writes them, one space between fields.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "base/Ipv4.h"

namespace pelmora {

constexpr std::size_t MAX_REQUEST_LINE = 128;
constexpr const char* HELPER_GREETING = "READY 1";

enum class HelperCommand { Add, Delete, Flush };

struct HelperRequest {
    HelperCommand command = HelperCommand::Flush;
    int ifIndex = 0;                // Add and Delete
    Ipv4Net address;                // Delete and Flush
    std::uint8_t prefixLength = 0;  // Delete, 0..32
};

// The request a line holds; nothing, with the reason in error, for anything else.
std::optional<HelperRequest> ParseRequest(const std::string& line, std::string& error);
std::string FormatRequest(const HelperRequest& request);
// "a.b.c.d/prefix" as an add's reply carries it; nothing for anything else.
std::optional<std::pair<Ipv4Net, std::uint8_t>> ParseAddressWithPrefix(const std::string& text);

struct HelperReply {
    bool ok = false;
    std::string text;  // after "OK " or "ERR "; may be empty after OK
};
std::string FormatReply(const HelperReply& reply);
// Nothing for a line that is neither "OK[ text]" nor "ERR text".
std::optional<HelperReply> ParseReply(const std::string& line);

// Splits a byte stream into lines. A line longer than its limit poisons the splitter: the stream is no
// longer trusted.
class LineSplitter {
public:
    explicit LineSplitter(std::size_t maxLine) : m_maxLine(maxLine) {}
    void Feed(const char* bytes, std::size_t count);
    // The next complete line without its newline; nothing while none is complete or after an overflow.
    std::optional<std::string> Next();
    bool Overflowed() const { return m_overflowed; }

private:
    std::size_t m_maxLine;
    std::string m_pending;
    bool m_overflowed = false;
};

}  // namespace pelmora
