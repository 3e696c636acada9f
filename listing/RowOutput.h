#pragma once
// The printed forms of the device list: a text table, a JSON array and CSV.
#include <string>

#include "listing/DeviceListing.h"

namespace pelmora {

// The nine headings and "Duplicates", one line per row, columns padded to their widest text (counted in
// characters). Control characters show as spaces so a row stays on one line.
std::string FormatTable(const DeviceListing& listing);

// [{"Unit": "...", ..., "Revision": "...", "duplicates": ["Device ID"]}, ...] with the texts exactly as they
// are (a listing of ListedTexts::Exact); "duplicates" lists the flagged columns' headings.
std::string FormatJson(const DeviceListing& listing);

// RFC 4180 with the given separator: a header of the nine headings and "Duplicates", then one record per row,
// CRLF line ends, cells as CsvField writes them (CsvText.h): UTF-8, no byte-order mark, and no cell that a
// spreadsheet runs as a formula, whichever separator it splits at.
std::string FormatCsv(const DeviceListing& listing, char separator = ',');

// A JSON string literal; ill-formed UTF-8 becomes U+FFFD, and direction controls are escaped (\u202E).
std::string JsonQuote(const std::string& text);

}  // namespace pelmora
