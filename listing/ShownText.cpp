#include "listing/ShownText.h"

#include <cstdint>

#include "protocol/Utf8Text.h"

namespace pelmora {

std::optional<unsigned> DirectionControlAt(const std::string& utf8, std::size_t at) {
    // In well-formed UTF-8, E2 only ever leads a three-byte sequence: U+2000 to U+2FFF.
    if (at + 2 >= utf8.size() || static_cast<unsigned char>(utf8[at]) != 0xE2) return std::nullopt;
    const unsigned codePoint = 0x2000u | ((unsigned{static_cast<unsigned char>(utf8[at + 1])} & 0x3Fu) << 6) |
                               (unsigned{static_cast<unsigned char>(utf8[at + 2])} & 0x3Fu);
    const bool control = codePoint == 0x200E || codePoint == 0x200F || (codePoint >= 0x202A && codePoint <= 0x202E) ||
                         (codePoint >= 0x2066 && codePoint <= 0x2069);
    if (!control) return std::nullopt;
    return codePoint;
}

std::string ShownText(const std::string& text) {
    std::string shown = IsValidUtf8(text) ? text
                                          : DecodeElementText(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                              text.size(), text.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        // U+FFFD has three bytes too, so the text keeps its length.
        if (DirectionControlAt(shown, i)) shown.replace(i, 3, "\xEF\xBF\xBD");
    }
    return shown;
}

}  // namespace pelmora
