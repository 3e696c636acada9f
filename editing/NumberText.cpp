#include "editing/NumberText.h"

#include "protocol/DecimalText.h"

namespace pelmora {

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

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
