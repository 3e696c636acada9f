#include "app/linux/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include <QtCore/QSocketNotifier>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>

#include "resources/ResourceIds.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/QtDialogWindow.h"

namespace pelmora {

namespace {

constexpr int HANDLED_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

// The handler can reach nothing but these; one TerminationSignals exists at a time.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[std::size(HANDLED_SIGNALS)];

void OnSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

void ClosePipe() {
    for (int& fd : g_pipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

}  // namespace

TerminationSignals::TerminationSignals() {
    if (g_pipe[0] >= 0 || pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::OnReadable);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(HANDLED_SIGNALS); ++i) sigaction(HANDLED_SIGNALS[i], &action, &g_previous[i]);
    m_installed = true;
}

TerminationSignals::~TerminationSignals() {
    if (!m_installed) return;
    for (std::size_t i = 0; i < std::size(HANDLED_SIGNALS); ++i) sigaction(HANDLED_SIGNALS[i], &g_previous[i], nullptr);
    m_notifier.reset();
    ClosePipe();
}

void TerminationSignals::OnReadable() {
    unsigned char byte = 0;
    int last = 0;
    while (read(g_pipe[0], &byte, 1) == 1) last = byte;
    if (last == 0) return;
    EndAllModalRuns();
    emit received(last);
}

void EndAllModalRuns() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        if (QApplication::activePopupWidget() == popup) break;
    }
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* window = qobject_cast<QtDialogWindow*>(modal)) {
            window->Dialog().EndDialog(IDCANCEL);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else {
            modal->close();
        }
        // A window that would not go is hidden: hiding ends its modal state either way.
        if (QApplication::activeModalWidget() == modal) modal->hide();
        if (QApplication::activeModalWidget() == modal) break;
    }
}

}  // namespace pelmora
