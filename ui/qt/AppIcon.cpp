#include "ui/qt/AppIcon.h"

#include "resources/InitResources.h"

#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtSvg/QSvgRenderer>

namespace pelmora {

QIcon LoadIcon(int id) {
    InitResources();
    // Rendered here rather than through the SVG icon-engine plugin, which a deployment may lack.
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(id));
    if (!renderer.isValid()) return {};
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace pelmora
