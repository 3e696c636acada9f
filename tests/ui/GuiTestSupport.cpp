#include "tests/ui/GuiTestSupport.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtGui/QPixmap>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

namespace pelmora::test {

std::shared_ptr<const ModalCall> CallOnNextModal(std::function<void(QWidget*)> action, int timeoutMs) {
    auto call = std::make_shared<ModalCall>();
    auto* timer = new QTimer(qApp);
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, call, before, clock, action = std::move(action), timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            call->fired = true;
            call->modal = modal;
            call->title = modal->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) call->text = box->text();
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            call->timedOut = true;
        }
    });
    timer->start();
    return call;
}

QString CloseModal(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        const QString text = box->text();
        QAbstractButton* button = box->defaultButton();
        if (button == nullptr && !box->buttons().isEmpty()) button = box->buttons().first();
        if (button != nullptr) button->click();
        return text;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    return {};
}

bool ShowAndActivate(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

namespace {

// The widget with the focus. A modal window that has just been shown may not be active yet and then has no
// focus widget: wait for its activation rather than drop the key (a loaded machine is slow to activate).
QWidget* FocusTarget() {
    if (QWidget* focus = QApplication::focusWidget()) return focus;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !QTest::qWaitForWindowActive(modal, 10000)) return modal;
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus : modal;
}

}  // namespace

void TypeIntoFocus(const QString& keys) {
    for (const QChar key : keys) {
        QWidget* focus = FocusTarget();
        if (focus == nullptr) return;
        QTest::keyClick(focus, key.toLatin1());
    }
}

void KeyIntoFocus(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (QWidget* focus = FocusTarget()) QTest::keyClick(focus, key, modifiers);
}

bool SaveScreenshot(QWidget* widget, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return widget->grab().save(path, "PNG");
}

}  // namespace pelmora::test
