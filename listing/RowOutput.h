#pragma once
// The printed forms of the device list: a text table, a JSON array and CSV.
#include <string>

#include "listing/DeviceListing.h"

namespace pelmora {

// The nine headings and "Duplicates", one line per row, columns padded to their widest text (counted in
// characters). Control characters show as spaces so a row stays on one line.
std::string FormatTable(const DeviceListing& listing);

// [{"Unit": "...", ..., "Revision": "...", "duplicates": ["Device ID"]}, ...] with the texts exactly as they
// are; "duplicates" lists the flagged columns' headings.
std::string FormatJson(const DeviceListing& listing);

// RFC 4180: a header of the nine headings and "Duplicates", then one record per row, CRLF line ends, fields
// quoted where they hold a comma, a quote or a line break. UTF-8; the texts exactly as they are, except
// that a text starting with =, +, -, @, a tab or a carriage return gets a leading ' so that a spreadsheet
// takes it as text, not as a formula.
std::string FormatCsv(const DeviceListing& listing);

// A JSON string literal; ill-formed UTF-8 becomes U+FFFD.
std::string JsonQuote(const std::string& text);

}  // namespace pelmora
