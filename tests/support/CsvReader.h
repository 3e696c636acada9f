#pragma once
// A CSV reader of the tests' own (RFC 4180: quoted fields, doubled quotes, CRLF or LF line ends), written
// apart from the program's writer so that a test reads back what the program wrote.
#include <optional>
#include <string>
#include <vector>

namespace pelmora::test {

using CsvRecords = std::vector<std::vector<std::string>>;

// The records of the text; nothing when a quoted field is not closed or a quote stands inside an unquoted
// field.
std::optional<CsvRecords> ReadCsv(const std::string& text);

}  // namespace pelmora::test
