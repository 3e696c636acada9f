#include "protocol/MacAddress.h"

#include <cstdio>

namespace pelmora {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string FormatKey(const std::uint8_t* mac) {
    char text[13];
    std::snprintf(text, sizeof text, "%.2X%.2X%.2X%.2X%.2X%.2X", unsigned{mac[0]}, unsigned{mac[1]}, unsigned{mac[2]},
                  unsigned{mac[3]}, unsigned{mac[4]}, unsigned{mac[5]});
    return text;
}

std::string FormatText(const std::uint8_t* mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%.2X:%.2X:%.2X:%.2X:%.2X:%.2X", unsigned{mac[0]}, unsigned{mac[1]},
                  unsigned{mac[2]}, unsigned{mac[3]}, unsigned{mac[4]}, unsigned{mac[5]});
    return text;
}

}  // namespace

std::string MacKey(const std::uint8_t (&mac)[6]) { return FormatKey(mac); }
std::string MacKey(const MacBytes& mac) { return FormatKey(mac.data()); }
std::string MacText(const std::uint8_t (&mac)[6]) { return FormatText(mac); }
std::string MacText(const MacBytes& mac) { return FormatText(mac.data()); }

std::optional<MacBytes> ParseMacText(const std::string& text) {
    constexpr std::size_t TEXT_LENGTH = 17;  // "xx:xx:xx:xx:xx:xx"
    if (text.size() != TEXT_LENGTH) return std::nullopt;
    MacBytes mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const std::size_t at = i * 3;
        const int high = HexValue(text[at]);
        const int low = HexValue(text[at + 1]);
        if (high < 0 || low < 0 || (i + 1 < mac.size() && text[at + 2] != ':')) return std::nullopt;
        mac[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return mac;
}

}  // namespace pelmora
