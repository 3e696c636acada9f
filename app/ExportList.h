#pragma once
// Saving the device list to a CSV file: where to (the window asks through an injected function, so tests need
// no file dialog), the name offered, and a write that leaves nothing half-written under the chosen name.
#include <QtCore/QString>

#include <functional>
#include <string>

class QDate;
class QWidget;

namespace pelmora {

// The file to save to, given the window and the suggested path; empty when the user cancelled.
using ChooseExportFileFunction = std::function<QString(QWidget* parent, const QString& suggestedPath)>;

// The desktop's save dialog, for CSV files.
QString ChooseExportFileWithDialog(QWidget* parent, const QString& suggestedPath);

// "pelmora-devices-<yyyy-mm-dd>.csv".
QString ExportFileName(const QDate& date);

// Writes the bytes to a temporary file in the same folder and renames it to path once it is complete. False,
// with the reason in error, when that fails: then nothing was made under path, and a file already there is
// left as it was.
bool SaveFileWhole(const QString& path, const std::string& bytes, QString& error);

}  // namespace pelmora
