#include "listing/RowOutput.h"

#include <algorithm>
#include <cstdio>

#include "listing/DeviceColumns.h"
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

void AppendLine(std::string& out, std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line;
    out += '\n';
}

}  // namespace

std::string FormatTable(const RowTextList& rows) {
    constexpr const char* SEPARATOR = "  ";
    std::vector<RowText> shown;
    shown.reserve(rows.size());
    std::array<std::size_t, COLUMN_COUNT> widths{};
    for (std::size_t c = 0; c < COLUMN_COUNT; ++c) widths[c] = CountCharacters(DEVICE_COLUMNS[c].heading);
    for (const auto& row : rows) {
        auto& texts = shown.emplace_back();
        for (std::size_t c = 0; c < COLUMN_COUNT; ++c) {
            texts[c] = Printable(row[c]);
            widths[c] = std::max(widths[c], CountCharacters(texts[c]));
        }
    }
    std::string out;
    std::string line;
    for (std::size_t c = 0; c < COLUMN_COUNT; ++c) {
        if (c > 0) line += SEPARATOR;
        AppendPadded(line, DEVICE_COLUMNS[c].heading, widths[c]);
    }
    AppendLine(out, line);
    for (const auto& texts : shown) {
        line.clear();
        for (std::size_t c = 0; c < COLUMN_COUNT; ++c) {
            if (c > 0) line += SEPARATOR;
            AppendPadded(line, texts[c], widths[c]);
        }
        AppendLine(out, line);
    }
    return out;
}

std::string JsonQuote(const std::string& text) {
    std::string out = "\"";
    for (const char ch : WellFormed(text)) {
        const auto c = static_cast<unsigned char>(ch);
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
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned{c});
                    out += escaped;
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

std::string FormatJson(const RowTextList& rows) {
    if (rows.empty()) return "[]\n";
    std::string out = "[\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += "  {";
        for (std::size_t c = 0; c < COLUMN_COUNT; ++c) {
            if (c > 0) out += ", ";
            out += JsonQuote(DEVICE_COLUMNS[c].heading) + ": " + JsonQuote(rows[r][c]);
        }
        out += r + 1 < rows.size() ? "},\n" : "}\n";
    }
    out += "]\n";
    return out;
}

}  // namespace pelmora
