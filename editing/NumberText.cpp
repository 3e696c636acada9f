#include "NumberText.h"

#include <cstdint>
#include <limits>

namespace pelmora {

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int ConvertDecimal(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t LIMIT = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
        // Saturate instead of overflowing: a long run of digits is simply out of every range.
        if (magnitude < LIMIT) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (magnitude > LIMIT) magnitude = LIMIT;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

bool ParseNumberText(std::string& text, int& value, int low, int high) {
    if (text.empty()) {
        value = 0;
        return false;
    }
    for (const char c : text) {
        if (!IsAsciiDigit(c) && c != '-') {
            text.clear();
            return false;
        }
    }
    value = ConvertDecimal(text);
    if (value < low) {
        value = low;
        return false;
    }
    if (value > high) {
        value = high;
        return false;
    }
    return true;
}

}  // namespace pelmora
