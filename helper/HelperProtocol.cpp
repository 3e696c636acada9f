#include "helper/HelperProtocol.h"

#include <limits>
#include <vector>

namespace pelmora {

namespace {

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = line.find(' ', start);
        fields.push_back(line.substr(start, space - start));
        if (space == std::string::npos) return fields;
        start = space + 1;
    }
}

// Decimal digits only, no leading zero, at most max.
std::optional<long> ParseNumber(const std::string& text, long max) {
    if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

// Only the form ToText writes, so that one address has one spelling.
std::optional<Ipv4Net> ParseAddress(const std::string& text) {
    Ipv4Octets octets;
    if (!ParseIpv4(text, octets) || ToText(octets) != text) return std::nullopt;
    return ToNet(octets);
}

const char* CommandWord(HelperCommand command) {
    switch (command) {
        case HelperCommand::Add: return "ADD";
        case HelperCommand::Delete: return "DEL";
        case HelperCommand::Flush: break;
    }
    return "FLUSH";
}

}  // namespace

std::optional<std::pair<Ipv4Net, std::uint8_t>> ParseAddressWithPrefix(const std::string& text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) return std::nullopt;
    const auto address = ParseAddress(text.substr(0, slash));
    const auto prefix = ParseNumber(text.substr(slash + 1), 32);
    if (!address || !prefix) return std::nullopt;
    return std::make_pair(*address, static_cast<std::uint8_t>(*prefix));
}

std::optional<HelperRequest> ParseRequest(const std::string& line, std::string& error) {
    const std::vector<std::string> fields = SplitFields(line);
    HelperRequest request;
    if (fields[0] == "ADD") {
        if (fields.size() > 2) {
            error = "the helper draws the address itself: ADD <ifindex>";
            return std::nullopt;
        }
        const auto ifIndex =
            fields.size() == 2 ? ParseNumber(fields[1], std::numeric_limits<int>::max()) : std::nullopt;
        if (!ifIndex || *ifIndex == 0) {
            error = "malformed request: ADD <ifindex>";
            return std::nullopt;
        }
        request.command = HelperCommand::Add;
        request.ifIndex = static_cast<int>(*ifIndex);
        return request;
    }
    if (fields[0] == "DEL") {
        const auto ifIndex =
            fields.size() == 3 ? ParseNumber(fields[1], std::numeric_limits<int>::max()) : std::nullopt;
        const auto address = fields.size() == 3 ? ParseAddressWithPrefix(fields[2]) : std::nullopt;
        if (!ifIndex || *ifIndex == 0 || !address) {
            error = "malformed request: DEL <ifindex> <a.b.c.d>/<prefix>";
            return std::nullopt;
        }
        request.command = HelperCommand::Delete;
        request.ifIndex = static_cast<int>(*ifIndex);
        request.address = address->first;
        request.prefixLength = address->second;
        return request;
    }
    if (fields[0] == "FLUSH") {
        const auto address = fields.size() == 2 ? ParseAddress(fields[1]) : std::nullopt;
        if (!address) {
            error = "malformed request: FLUSH <a.b.c.d>";
            return std::nullopt;
        }
        request.address = *address;
        return request;
    }
    error = "unknown command";
    return std::nullopt;
}

std::string FormatRequest(const HelperRequest& request) {
    std::string line = CommandWord(request.command);
    if (request.command != HelperCommand::Flush) line += ' ' + std::to_string(request.ifIndex);
    if (request.command == HelperCommand::Add) return line;
    line += ' ' + ToText(request.address);
    if (request.command == HelperCommand::Delete) line += '/' + std::to_string(request.prefixLength);
    return line;
}

std::string FormatReply(const HelperReply& reply) {
    if (reply.ok) return reply.text.empty() ? "OK" : "OK " + reply.text;
    return "ERR " + reply.text;
}

std::optional<HelperReply> ParseReply(const std::string& line) {
    if (line == "OK") return HelperReply{true, {}};
    if (line.rfind("OK ", 0) == 0) return HelperReply{true, line.substr(3)};
    if (line.rfind("ERR ", 0) == 0 && line.size() > 4) return HelperReply{false, line.substr(4)};
    return std::nullopt;
}

void LineSplitter::Feed(const char* bytes, std::size_t count) {
    if (!m_overflowed) m_pending.append(bytes, count);
}

std::optional<std::string> LineSplitter::Next() {
    if (m_overflowed) return std::nullopt;
    const std::size_t newline = m_pending.find('\n');
    if ((newline == std::string::npos ? m_pending.size() : newline) > m_maxLine) {
        m_overflowed = true;
        m_pending.clear();
        return std::nullopt;
    }
    if (newline == std::string::npos) return std::nullopt;
    std::string line = m_pending.substr(0, newline);
    m_pending.erase(0, newline + 1);
    return line;
}

}  // namespace pelmora
