#include "devices/PlanCsv.h"

#include "listing/CsvText.h"

namespace pelmora {

namespace {

constexpr char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

char SeparatorOf(const std::string& text, std::size_t from) {
    bool quoted = false;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == ',' || c == ';') return c;
        if (c == '\n') break;
    }
    return ',';
}

bool IsBlank(const CsvRow& row) { return row.size() == 1 && row[0].text.empty(); }

}  // namespace

CsvRead ReadCsv(const std::string& text) {
    CsvRead read;
    std::size_t i = text.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    read.separator = SeparatorOf(text, i);
    int line = 1;
    CsvRow row;
    CsvCell cell{{}, line, 1};
    const auto endCell = [&] {
        row.push_back(cell);
        cell = CsvCell{{}, line, static_cast<int>(row.size()) + 1};
    };
    const auto endRow = [&] {
        endCell();
        if (!IsBlank(row)) read.rows.push_back(row);
        row.clear();
        cell.column = 1;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && cell.text.empty()) {
            // A quoted cell: up to the quote that is not doubled.
            std::size_t j = i + 1;
            for (;; ++j) {
                if (j >= text.size()) {
                    read.error = "a quoted cell is not closed";
                    read.errorLine = cell.line;
                    return read;
                }
                if (text[j] == '"') {
                    if (j + 1 < text.size() && text[j + 1] == '"') {
                        cell.text += '"';
                        ++j;
                        continue;
                    }
                    break;
                }
                if (text[j] == '\n') ++line;
                cell.text += text[j];
            }
            i = j + 1;
            if (i < text.size() && text[i] != read.separator && text[i] != '\r' && text[i] != '\n') {
                read.error = "text after a quoted cell's closing quote";
                read.errorLine = line;
                return read;
            }
            continue;
        }
        if (c == read.separator) {
            endCell();
        } else if (c == '\n') {
            endRow();
            cell.line = ++line;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            // CRLF: the LF ends the row.
        } else {
            cell.text += c;
        }
        ++i;
    }
    if (!cell.text.empty() || !row.empty()) endRow();
    return read;
}

std::string CsvRecord(const std::vector<std::string>& cells, char separator) {
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += separator;
        out += CsvField(cells[i], separator);
    }
    return out + "\r\n";
}

}  // namespace pelmora
