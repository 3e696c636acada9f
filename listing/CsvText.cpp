#include "listing/CsvText.h"

#include <cstdint>
#include <string_view>

#include "protocol/Utf8Text.h"

namespace pelmora {

namespace {

constexpr std::string_view FORMULA_START = "=+-@";
// Where a reader may start a cell: its separators, and the line ends of a record it did not see quoted.
constexpr std::string_view CELL_BREAK = ",;\t\r\n";

bool IsIn(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

}  // namespace

std::string FormulaSafe(const std::string& text) {
    std::string safe;
    safe.reserve(text.size() + 1);
    // A tab or carriage return that starts the text is trimmed by some readers, and what follows it read.
    if (!text.empty() && (text[0] == '\t' || text[0] == '\r')) safe += '\'';
    bool cellStart = true;  // only blanks and quotes since the start or a break: a reader may trim them
    for (const char c : text) {
        if (cellStart && IsIn(FORMULA_START, c)) safe += '\'';
        safe += c;
        cellStart = IsIn(CELL_BREAK, c) || (cellStart && (c == ' ' || c == '"'));
    }
    return safe;
}

std::string CsvField(const std::string& text, char separator) {
    const std::string wellFormed =
        IsValidUtf8(text)
            ? text
            : DecodeElementText(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), text.size());
    std::string field = FormulaSafe(wellFormed);
    if (field.find_first_of(",;\t\"\r\n") == std::string::npos && field.find(separator) == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace pelmora
