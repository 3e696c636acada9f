#pragma once
// CSV cells that no spreadsheet runs as a formula, whichever list separator it splits the file at.
#include <string>

namespace pelmora {

// The text with a ' before every place a spreadsheet could start a formula: an =, +, - or @ at the start of
// the text or right after a comma, semicolon, tab, carriage return or line feed in it (a reader that splits at
// another separator, or misses the quotes, starts a cell there), blanks and quotes in between allowed since a
// reader may trim them. A text starting with a tab or carriage return gets one too. Any other text comes back
// unchanged.
std::string FormulaSafe(const std::string& text);

// The cell as written between separators: well-formed UTF-8 (ill-formed sequences become U+FFFD),
// FormulaSafe, and quoted (RFC 4180, quotes doubled) when it holds a comma, semicolon, tab, quote, carriage
// return, line feed or the separator.
std::string CsvField(const std::string& text, char separator);

}  // namespace pelmora
