#include "app/WaitCursor.h"

#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>

namespace pelmora {

WaitCursor::WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

WaitCursor::~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }

NormalCursor::NormalCursor() {
    const QCursor* current = QGuiApplication::overrideCursor();
    if (current == nullptr || current->shape() != Qt::WaitCursor) return;
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    m_pushed = true;
}

NormalCursor::~NormalCursor() {
    if (m_pushed) QGuiApplication::restoreOverrideCursor();
}

}  // namespace pelmora
