#pragma once
// The decimal conversion of the texts a user types for numbers.
#include <string>

namespace pelmora {

// The number at the start of text as strtol reads it in base 10 (optional sign, then digits; stops at
// the first character that does not continue it; 0 when there is none), saturated to the int range.
int ConvertDecimal(const std::string& text);

}  // namespace pelmora
