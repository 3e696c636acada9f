#pragma once
// CSV as a spreadsheet writes it, read into cells that know their line and column, and written back.
#include <string>
#include <vector>

namespace pelmora {

struct CsvCell {
    std::string text;
    int line = 0;    // from 1; a quoted cell's first line
    int column = 0;  // from 1
};
using CsvRow = std::vector<CsvCell>;

struct CsvRead {
    std::vector<CsvRow> rows;  // blank lines left out
    char separator = ',';
    std::string error;  // why the text is not CSV; then errorLine says where
    int errorLine = 0;
};

// UTF-8 with or without a byte-order mark; comma or semicolon, whichever the first line holds outside
// quotes first; quoted cells with doubled quotes and line breaks; CRLF or LF.
CsvRead ReadCsv(const std::string& text);

// One record: the cells joined by the separator, each as CsvField writes it (no cell a spreadsheet runs as
// a formula); CRLF at the end.
std::string CsvRecord(const std::vector<std::string>& cells, char separator = ',');

}  // namespace pelmora
