#pragma once
// Saving the device list to a CSV file: where to (the window asks through an injected function, so tests need
// no file dialog) and the name offered.
#include <ctime>
#include <functional>
#include <string>

namespace pelmora {

class TemplateDialog;

// The file to save to, given the window and the suggested file name; empty when the user cancelled.
using ChooseExportFileFunction = std::function<std::string(TemplateDialog& owner, const std::string& suggestedName)>;

// The system's Save As dialog, for CSV files.
std::string ChooseExportFileWithDialog(TemplateDialog& owner, const std::string& suggestedName);

// "pelmora-devices-<yyyy-mm-dd>.csv" for the date of `day`.
std::string ExportFileName(const std::tm& day);

}  // namespace pelmora
