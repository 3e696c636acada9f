#include "ui/qt/StringTable.h"

#include "resources/InitResources.h"

#include <QtCore/QFile>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>

namespace pelmora {

QString LoadString(int id) {
    InitResources();
    QFile file(QStringLiteral(":/strings.json"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QJsonObject table = QJsonDocument::fromJson(file.readAll()).object();
    return table.value(QString::number(id)).toString();
}

}  // namespace pelmora
