// Message boxes, the wait cursor and the string table on Qt.
#include "ui/Feedback.h"

#include "ui/DialogIds.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/QtDialogWindow.h"
#include "ui/qt/StringTable.h"

#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

namespace pelmora {

namespace {

QMessageBox::Icon IconFor(MessageKind kind) {
    switch (kind) {
        case MessageKind::Plain: return QMessageBox::NoIcon;
        case MessageKind::Information: return QMessageBox::Information;
        case MessageKind::Warning: return QMessageBox::Warning;
        case MessageKind::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void ShowMessageBox(const TemplateDialog* owner, const std::string& text, const std::string& caption,
                    MessageKind kind) {
    QWidget* parent = owner != nullptr ? &owner->Window() : QApplication::activeWindow();
    const std::string named = caption.empty() ? ResourceString(AFX_IDS_APP_TITLE) : caption;
    const QString title = named.empty() ? QGuiApplication::applicationDisplayName() : QString::fromStdString(named);
    QMessageBox box(IconFor(kind), title, QString::fromStdString(text), QMessageBox::Ok, parent);
    box.exec();
}

std::string ResourceString(int id) { return LoadString(id).toStdString(); }

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
