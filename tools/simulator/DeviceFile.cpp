#include "tools/simulator/DeviceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "tools/simulator/SimWire.h"

namespace pelmora {
namespace {

constexpr std::size_t MAX_ELEMENT_TEXT = 255;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decimal, or hexadecimal with a 0x prefix; nothing else, no sign.
bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t& out) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end != text.c_str() + text.size() || value > max) return false;
    out = value;
    return true;
}

bool ParseSigned32(const std::string& text, std::int32_t& out) {
    if (text.empty() || text[0] == ' ' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

bool ParseFlag(const std::string& text, bool& out) {
    if (text == "0" || text == "1") {
        out = text == "1";
        return true;
    }
    return false;
}

// "a.b.c.d" (one byte each, most significant first) or a 32-bit number.
bool ParseRevision(const std::string& text, std::uint32_t& out) {
    Ipv4Octets parts;
    if (ParseIpv4(text, parts)) {
        out = ToHost(parts).value;
        return true;
    }
    std::uint64_t value = 0;
    if (!ParseUnsigned(text, 0xFFFFFFFFu, value)) return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>& out) {
    if (text.size() % 2 != 0) return false;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    out = std::move(bytes);
    return true;
}

bool ParseReplyMode(const std::string& text, ReplyMode& out) {
    if (text == "auto") out = ReplyMode::Auto;
    else if (text == "unicast") out = ReplyMode::Unicast;
    else if (text == "broadcast") out = ReplyMode::Broadcast;
    else if (text == "none") out = ReplyMode::None;
    else return false;
    return true;
}

const char* ReplyModeName(ReplyMode mode) {
    switch (mode) {
        case ReplyMode::Unicast: return "unicast";
        case ReplyMode::Broadcast: return "broadcast";
        case ReplyMode::None: return "none";
        case ReplyMode::Auto: break;
    }
    return "auto";
}

// Applies one key=value pair; false with a reason when the key or value is not valid.
bool ApplyKey(SimDevice& d, const std::string& key, const std::string& raw, std::string& error) {
    std::string value;
    if (!PercentDecode(raw, value)) {
        error = "bad percent escape in " + key;
        return false;
    }
    std::uint64_t number = 0;
    bool ok = true;
    if (key == "mac") ok = ParseMac(value, d.mac);
    else if (key == "ip") ok = ParseIpv4(value, d.ip);
    else if (key == "mask") ok = ParseIpv4(value, d.mask);
    else if (key == "gw") ok = ParseIpv4(value, d.gateway);
    else if (key == "dns") ok = ParseIpv4(value, d.dns1);
    else if (key == "dns2") ok = ParseIpv4(value, d.dns2);
    else if (key == "dhcp") ok = ParseFlag(value, d.dhcp);
    else if (key == "bacnet") {
        bool on = false;
        ok = ParseFlag(value, on);
        d.featureFlags = on ? (d.featureFlags | simwire::BACNET_FLAG) : (d.featureFlags & ~simwire::BACNET_FLAG);
    } else if (key == "flags") {
        ok = ParseUnsigned(value, 0xFFFFFFFFu, number);
        d.featureFlags = static_cast<std::uint32_t>(number);
    } else if (key == "id") ok = ParseSigned32(value, d.deviceId);
    else if (key == "name" || key == "text" || key == "description" || key == "location" || key == "bbmd") {
        ok = value.size() <= MAX_ELEMENT_TEXT;
        if (!ok) {
            error = key + " is longer than 255 bytes";
            return false;
        }
        std::string& field = key == "name"          ? d.name
                             : key == "text"        ? d.text102
                             : key == "description" ? d.description
                             : key == "location"    ? d.location
                                                    : d.bbmd;
        field = value;
    } else if (key == "port") {
        ok = ParseUnsigned(value, 0xFFFF, number);
        d.bacnetPort = static_cast<std::uint16_t>(number);
    } else if (key == "pla" || key == "ela") {
        ok = ParseUnsigned(value, 0xFF, number);
        (key == "pla" ? d.pla : d.ela) = static_cast<std::uint8_t>(number);
    } else if (key == "debug") {
        ok = ParseUnsigned(value, 0xFFFFFFFFu, number);
        d.debugFlags = static_cast<std::uint32_t>(number);
    } else if (key == "revision") ok = ParseRevision(value, d.revision);
    else if (key == "extra") ok = ParseHexBytes(value, d.extraElements);
    else if (key == "reply") {
        ok = ParseReplyMode(value, d.replyMode);
        d.replyModeSet = ok;
    } else if (key == "writes") {
        ok = value == "apply" || value == "ignore";
        d.ignoresWrites = value == "ignore";
    } else if (key == "silence") {
        ok = ParseUnsigned(value, 600, number);
        d.restartSilence = std::chrono::seconds(number);
    } else if (key == "fault") {
        const auto kind = ParseFaultName(value);
        ok = kind.has_value();
        if (ok) d.fault = *kind;
    } else {
        error = "unknown key " + key;
        return false;
    }
    if (!ok) error = "bad value for " + key + ": " + raw;
    return ok;
}

}  // namespace

std::string PercentEncode(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x21 || byte == 0x7F || c == '%') {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", unsigned{byte});
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

bool PercentDecode(const std::string& text, std::string& out) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            result += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return false;
        result += static_cast<char>(high * 16 + low);
        i += 2;
    }
    out = std::move(result);
    return true;
}

bool ParseDeviceLine(const std::string& line, SimDevice& device, std::string& error) {
    SimDevice parsed;
    std::set<std::string> seen;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos || equals == 0) {
            error = "expected key=value, got " + word;
            return false;
        }
        const std::string key = word.substr(0, equals);
        if (!seen.insert(key).second) {
            error = "key " + key + " given twice";
            return false;
        }
        if (!ApplyKey(parsed, key, word.substr(equals + 1), error)) return false;
    }
    if (seen.count("mac") == 0) {
        error = "no mac";
        return false;
    }
    device = std::move(parsed);
    return true;
}

std::string FormatDeviceLine(const SimDevice& d) {
    std::string line = "mac=" + MacText(d.mac);
    line += " ip=" + ToText(d.ip) + " mask=" + ToText(d.mask) + " gw=" + ToText(d.gateway);
    line += " dns=" + ToText(d.dns1) + " dns2=" + ToText(d.dns2);
    line += std::string(" dhcp=") + (d.dhcp ? "1" : "0");
    if (d.featureFlags == 0 || d.featureFlags == simwire::BACNET_FLAG) {
        line += std::string(" bacnet=") + (HasBacnet(d) ? "1" : "0");
    } else {
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%X", unsigned{d.featureFlags});
        line += std::string(" flags=") + flags;
    }
    line += " id=" + std::to_string(d.deviceId);
    line += " name=" + PercentEncode(d.name) + " text=" + PercentEncode(d.text102);
    line += " description=" + PercentEncode(d.description) + " location=" + PercentEncode(d.location);
    line += " bbmd=" + PercentEncode(d.bbmd);
    line += " port=" + std::to_string(d.bacnetPort) + " pla=" + std::to_string(d.pla) +
            " ela=" + std::to_string(d.ela) + " debug=" + std::to_string(d.debugFlags);
    line += " revision=" + ToText(ToOctets(Ipv4Host{d.revision}));
    if (!d.extraElements.empty()) {
        line += " extra=";
        for (const std::uint8_t byte : d.extraElements) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", unsigned{byte});
            line += hex;
        }
    }
    if (d.replyModeSet) line += std::string(" reply=") + ReplyModeName(d.replyMode);
    if (d.fault != FaultKind::None) line += std::string(" fault=") + FaultName(d.fault);
    if (d.ignoresWrites) line += " writes=ignore";
    if (d.restartSilence.count() >= 0)
        line +=
            " silence=" + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(d.restartSilence).count());
    return line;
}

bool ReadDeviceFile(std::istream& in, std::vector<SimDevice>& devices, std::string& error) {
    std::string line;
    std::size_t number = 0;
    std::vector<SimDevice> read;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        SimDevice device;
        std::string reason;
        if (!ParseDeviceLine(line, device, reason)) {
            error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
        read.push_back(std::move(device));
    }
    if (in.bad()) {
        error = "read error";
        return false;
    }
    devices.insert(devices.end(), read.begin(), read.end());
    return true;
}

}  // namespace pelmora
