#pragma once
// The check of the edit dialog's numeric fields, and the decimal conversion behind it.
#include <string>

namespace pelmora {

// The number at the start of text as strtol reads it in base 10 (optional sign, then digits; stops at
// the first character that does not continue it; 0 when there is none), saturated to the int range.
int ConvertDecimal(const std::string& text);

// Empty text: value 0, false. A character other than "0".."9" and "-": text emptied, value unchanged,
// false. Otherwise value = ConvertDecimal(text), clamped to low..high; false when it had to be clamped.
bool ParseNumberText(std::string& text, int& value, int low, int high);

}  // namespace pelmora
