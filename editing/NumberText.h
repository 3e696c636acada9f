#pragma once
// The check of the edit dialog's numeric fields.
#include <string>

namespace pelmora {

// Empty text: value 0, false. A character other than "0".."9" and "-": text emptied, value unchanged,
// false. Otherwise value = ConvertDecimal(text), clamped to low..high; false when it had to be clamped.
bool ParseNumberText(std::string& text, int& value, int low, int high);

}  // namespace pelmora
