#include "protocol/Utf8Text.h"

namespace pelmora {

namespace {

constexpr bool IsContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

// Length of the well-formed sequence at p (1..4), or 0 with bad set to the bytes of the maximal
// ill-formed subpart that one replacement character stands for.
std::size_t SequenceLength(const std::uint8_t* p, std::size_t available, std::size_t& bad) {
    const std::uint8_t lead = p[0];
    if (lead < 0x80) return 1;
    std::size_t need = 0;
    std::uint8_t low = 0x80;  // the second byte's range depends on the lead byte
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        bad = 1;
        return 0;
    }
    for (std::size_t i = 1; i < need; ++i) {
        const bool fits = i < available && (i == 1 ? (p[i] >= low && p[i] <= high) : IsContinuation(p[i]));
        if (!fits) {
            bad = i;
            return 0;
        }
    }
    return need;
}

}  // namespace

std::string DecodeElementText(const std::uint8_t* value, std::size_t length, std::size_t maxCharacters) {
    std::string text;
    std::size_t end = 0;
    while (end < length && value[end] != 0) ++end;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < end && characters < maxCharacters; ++characters) {
        std::size_t bad = 0;
        const std::size_t n = SequenceLength(value + i, end - i, bad);
        if (n == 0) {
            text += "\xEF\xBF\xBD";
            i += bad;
        } else {
            text.append(reinterpret_cast<const char*>(value + i), n);
            i += n;
        }
    }
    return text;
}

std::size_t Utf8CutPoint(const std::string& utf8, std::size_t maxBytes) {
    if (utf8.size() <= maxBytes) return utf8.size();
    // A character has at most three continuation bytes; ill-formed text is cut where the limit falls.
    const std::size_t lowest = maxBytes > 3 ? maxBytes - 3 : 0;
    for (std::size_t cut = maxBytes;; --cut) {
        if (!IsContinuation(static_cast<std::uint8_t>(utf8[cut]))) return cut;
        if (cut == lowest) return maxBytes;
    }
}

bool IsValidUtf8(const std::string& text) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t bad = 0;
        const std::size_t n = SequenceLength(p + i, text.size() - i, bad);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::size_t CountCharacters(const std::string& utf8) {
    std::size_t count = 0;
    for (char c : utf8) {
        if (!IsContinuation(static_cast<std::uint8_t>(c))) ++count;
    }
    return count;
}

}  // namespace pelmora
