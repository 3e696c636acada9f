#include "tests/support/CsvReader.h"

namespace pelmora::test {

std::optional<CsvRecords> ReadCsv(const std::string& text) {
    CsvRecords records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field was quoted and has been closed
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
                wasQuoted = true;
            }
        } else if (c == '"') {
            if (!field.empty() || wasQuoted) return std::nullopt;
            quoted = true;
        } else if (c == ',' || c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            record.push_back(field);
            field.clear();
            wasQuoted = false;
            if (c == '\r') ++i;
            if (c != ',') {
                records.push_back(record);
                record.clear();
            }
        } else {
            if (wasQuoted) return std::nullopt;
            field += c;
        }
    }
    if (quoted) return std::nullopt;
    if (!field.empty() || wasQuoted || !record.empty()) {
        record.push_back(field);
        records.push_back(record);
    }
    return records;
}

}  // namespace pelmora::test
