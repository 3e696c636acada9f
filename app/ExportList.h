#pragma once
// Saving the device list to a CSV file: where to (the window asks through an injected function, so tests need
// no file dialog) and the name offered.
#include <ctime>
#include <functional>
#include <string>

#include "listing/DeviceListing.h"

namespace pelmora {

class TemplateDialog;

// The file to save to, given the window and the suggested file name; empty when the user cancelled.
using ChooseExportFileFunction = std::function<std::string(TemplateDialog& owner, const std::string& suggestedName)>;

// The system's Save As dialog, for CSV files.
std::string ChooseExportFileWithDialog(TemplateDialog& owner, const std::string& suggestedName);

// The export file's bytes: a UTF-8 byte-order mark (without one Excel reads the file in the ANSI code page),
// then the list as CSV split at the user's list separator (UserListSeparator) where that is a comma,
// semicolon or tab, so that a spreadsheet opens it in columns; at commas otherwise.
std::string ExportFileText(const DeviceListing& listing, const std::string& listSeparator);

// "pelmora-devices-<yyyy-mm-dd>.csv" for the date of `day`.
std::string ExportFileName(const std::tm& day);

}  // namespace pelmora
