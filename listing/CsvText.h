#pragma once
// The guard that keeps a spreadsheet from running a cell of the list's CSV as a formula.
#include <string>

namespace pelmora {

// The text with a leading ' when it starts with =, +, -, @, a tab or a carriage return.
std::string FormulaSafe(const std::string& text);

}  // namespace pelmora
