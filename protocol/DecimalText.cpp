#include "protocol/DecimalText.h"

#include <cstdint>
#include <limits>

namespace pelmora {

int ConvertDecimal(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t LIMIT = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        // Saturate instead of overflowing: a long run of digits is simply out of every range.
        if (magnitude < LIMIT) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (magnitude > LIMIT) magnitude = LIMIT;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

}  // namespace pelmora
