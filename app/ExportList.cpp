#include "app/ExportList.h"

#include <QtCore/QDate>
#include <QtCore/QSaveFile>
#include <QtWidgets/QFileDialog>

namespace pelmora {

QString ChooseExportFileWithDialog(QWidget* parent, const QString& suggestedPath) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export list"), suggestedPath,
                                        QStringLiteral("CSV files (*.csv);;All files (*)"));
}

QString ExportFileName(const QDate& date) {
    return QStringLiteral("pelmora-devices-%1.csv").arg(date.toString(QStringLiteral("yyyy-MM-dd")));
}

bool SaveFileWhole(const QString& path, const std::string& bytes, QString& error) {
    QSaveFile file(path);
    // Never fall back to writing the chosen file in place, where a failure would leave it half-written.
    file.setDirectWriteFallback(false);
    // Unbuffered, so that every write reports its own failure: a buffered write that the disk cuts short is
    // not noticed by commit(), which would then rename a truncated file into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    const char* data = bytes.data();
    auto left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0) {
            error = file.errorString();
            file.cancelWriting();
            return false;
        }
        data += written;
        left -= written;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace pelmora
