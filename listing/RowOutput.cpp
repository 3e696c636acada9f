#include "listing/RowOutput.h"

#include <algorithm>
#include <cstdio>

#include "listing/CsvText.h"
#include "listing/DeviceColumns.h"
#include "listing/ShownText.h"
#include "protocol/Utf8Text.h"

namespace pelmora {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string WellFormed(const std::string& text) {
    if (IsValidUtf8(text)) return text;
    return DecodeElementText(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), text.size());
}

std::string Printable(const std::string& text) {
    std::string shown = WellFormed(text);
    for (char& c : shown)
        if (IsControl(static_cast<unsigned char>(c))) c = ' ';
    return shown;
}

void AppendPadded(std::string& line, const std::string& text, std::size_t width) {
    line += text;
    const std::size_t characters = CountCharacters(text);
    if (characters < width) line.append(width - characters, ' ');
}

const RowWarnings& WarningsOf(const DeviceListing& listing, std::size_t row) {
    static const RowWarnings NONE{};
    return row < listing.warnings.size() ? listing.warnings[row] : NONE;
}

void AppendEscaped(std::string& out, unsigned codePoint) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04X", codePoint);
    out += escaped;
}

void AppendLine(std::string& out, std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line;
    out += '\n';
}

}  // namespace

std::string FormatTable(const DeviceListing& listing) {
    constexpr std::size_t COLUMNS = COLUMN_COUNT + 1;
    constexpr const char* SEPARATOR = "  ";
    std::vector<std::array<std::string, COLUMNS>> lines;
    lines.reserve(listing.rows.size() + 1);
    auto& headings = lines.emplace_back();
    for (std::size_t c = 0; c < COLUMN_COUNT; ++c) headings[c] = DEVICE_COLUMNS[c].heading;
    headings[COLUMN_COUNT] = DUPLICATES_HEADING;
    for (std::size_t r = 0; r < listing.rows.size(); ++r) {
        auto& cells = lines.emplace_back();
        for (std::size_t c = 0; c < COLUMN_COUNT; ++c) cells[c] = Printable(listing.rows[r][c]);
        cells[COLUMN_COUNT] = FlaggedHeadingsText(WarningsOf(listing, r));
    }
    std::array<std::size_t, COLUMNS> widths{};
    for (const auto& cells : lines)
        for (std::size_t c = 0; c < COLUMNS; ++c) widths[c] = std::max(widths[c], CountCharacters(cells[c]));
    std::string out;
    for (const auto& cells : lines) {
        std::string line;
        for (std::size_t c = 0; c < COLUMNS; ++c) {
            if (c > 0) line += SEPARATOR;
            AppendPadded(line, cells[c], widths[c]);
        }
        AppendLine(out, line);
    }
    return out;
}

std::string JsonQuote(const std::string& text) {
    std::string out = "\"";
    const std::string wellFormed = WellFormed(text);
    for (std::size_t i = 0; i < wellFormed.size(); ++i) {
        const auto c = static_cast<unsigned char>(wellFormed[i]);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    AppendEscaped(out, c);
                } else if (const auto control = DirectionControlAt(wellFormed, i)) {
                    // Kept, but escaped, so that a JSON viewer does not reorder the text around it.
                    AppendEscaped(out, *control);
                    i += 2;
                } else {
                    out += wellFormed[i];
                }
        }
    }
    out += '"';
    return out;
}

std::string FormatJson(const DeviceListing& listing) {
    const RowTextList& rows = listing.rows;
    if (rows.empty()) return "[]\n";
    std::string out = "[\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += "  {";
        for (std::size_t c = 0; c < COLUMN_COUNT; ++c) {
            if (c > 0) out += ", ";
            out += JsonQuote(DEVICE_COLUMNS[c].heading) + ": " + JsonQuote(rows[r][c]);
        }
        out += ", \"duplicates\": [";
        const std::vector<std::string> flagged = FlaggedHeadings(WarningsOf(listing, r));
        for (std::size_t i = 0; i < flagged.size(); ++i) out += (i > 0 ? ", " : "") + JsonQuote(flagged[i]);
        out += r + 1 < rows.size() ? "]},\n" : "]}\n";
    }
    out += "]\n";
    return out;
}

std::string FormatCsv(const DeviceListing& listing, char separator) {
    std::string out;
    const auto appendRecord = [&out, separator](const auto& fields) {
        bool first = true;
        for (const std::string& field : fields) {
            if (!first) out += separator;
            first = false;
            out += CsvField(field, separator);
        }
        out += "\r\n";
    };
    std::array<std::string, COLUMN_COUNT + 1> fields;
    for (std::size_t c = 0; c < COLUMN_COUNT; ++c) fields[c] = DEVICE_COLUMNS[c].heading;
    fields[COLUMN_COUNT] = DUPLICATES_HEADING;
    appendRecord(fields);
    for (std::size_t r = 0; r < listing.rows.size(); ++r) {
        std::copy(listing.rows[r].begin(), listing.rows[r].end(), fields.begin());
        fields[COLUMN_COUNT] = FlaggedHeadingsText(WarningsOf(listing, r));
        appendRecord(fields);
    }
    return out;
}

}  // namespace pelmora
