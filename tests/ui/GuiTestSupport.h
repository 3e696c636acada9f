#pragma once
// Helpers for widget tests on the offscreen platform: acting on nested modal runs (QDialog::exec,
// QMessageBox) without blocking, typing where the focus is, and saving screenshots.
#include <QtCore/QPointer>
#include <QtCore/QString>
#include <QtWidgets/QWidget>

#include "ui/TemplateDialog.h"
#include "ui/qt/QtDialogWindow.h"

#include <functional>
#include <memory>

namespace pelmora::test {

// What became of one CallOnNextModal request.
struct ModalCall {
    bool fired = false;
    bool timedOut = false;
    QString title;            // the modal's window title when it fired
    QString text;             // a message box's text, else empty
    QPointer<QWidget> modal;  // the modal widget the action ran on
};

// Runs `action` from the event loop on the next modal widget that opens (one that is not already the
// active modal one now), once; polls QApplication::activeModalWidget(). The action must end that
// modal run (or arrange for it to end), or the code that opened it never returns.
std::shared_ptr<const ModalCall> CallOnNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000);

// Presses the default (else the first) button of a message box; closes any other modal dialog with
// reject(). Returns the message box's text.
QString CloseModal(QWidget* modal);

// Shows a top-level widget and waits until it is the active window, so that it has keyboard focus.
bool ShowAndActivate(QWidget* window);
inline bool ShowAndActivate(TemplateDialog& dialog) { return ShowAndActivate(&dialog.Window()); }

// The dialog whose window `modal` is, as a D; null when it is none.
template <class D>
D* DialogOf(QWidget* modal) {
    auto* window = qobject_cast<QtDialogWindow*>(modal);
    return window != nullptr ? dynamic_cast<D*>(&window->Dialog()) : nullptr;
}

// Sends each character of `keys` as a key click to whichever widget has the focus at that moment; when no
// widget has it yet, the active modal window is waited for first.
void TypeIntoFocus(const QString& keys);
void KeyIntoFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Saves what the widget shows to a PNG file (directories made as needed).
bool SaveScreenshot(QWidget* widget, const QString& path);

}  // namespace pelmora::test
