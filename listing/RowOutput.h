#pragma once
// The two printed forms of the device list: a text table and a JSON array.
#include <string>

#include "protocol/RowTexts.h"

namespace pelmora {

// The nine headings and one line per row, columns padded to their widest text (counted in characters).
// Control characters show as spaces so a row stays on one line.
std::string FormatTable(const RowTextList& rows);

// [{"Unit": "...", ..., "Revision": "..."}, ...] with the texts exactly as they are.
std::string FormatJson(const RowTextList& rows);

// A JSON string literal; ill-formed UTF-8 becomes U+FFFD.
std::string JsonQuote(const std::string& text);

}  // namespace pelmora
