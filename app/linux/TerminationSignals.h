#pragma once
// SIGINT, SIGTERM and SIGHUP end the program the way the close box does: every modal run is ended from
// the top down, so the main window's run returns and the temporary address is deleted. The signal
// handler only writes the signal number to a pipe; the event loop reads it.
#include <QtCore/QObject>

#include <memory>

class QSocketNotifier;

namespace pelmora {

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers (one instance at a time); the previous ones return with the destructor.
    TerminationSignals();
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool Installed() const { return m_installed; }

signals:
    // After the modal runs were told to end.
    void received(int signalNumber);

private:
    void OnReadable();

    bool m_installed = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

// Closes open popup menus, then ends every modal run, the topmost first.
void EndAllModalRuns();

}  // namespace pelmora
