// Start-up time of pelmora-config: from the process's start to its main window's first paint after the
// window was exposed, on the program's own start-up path (the network helper's start, QApplication,
// socket check, adapter list and temporary address, main window, its interface table read). The parent starts the child
// N times and prints each time and the median. Adds the temporary address as the program does, so bench/app-figures.sh
// runs it only inside a lab's PC namespace.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtCore/QTimer>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/AddressPlatform.h"
#include "app/CNimbetRawConfigApp.h"
#include "app/CNimbetRawConfigDlg.h"
#include "app/EditWithDialog.h"
#include "app/linux/SystemAddressPlatform.h"
#include "helper/NetHelperClient.h"
#include "platform/Clock.h"
#include "platform/UdpTransport.h"
#include "protocol/DeviceNetwork.h"
#include "protocol/SystemDeviceNetwork.h"
#include "resources/ResourceIds.h"
#include "ui/qt/QtDialogWindow.h"

extern char** environ;

namespace {

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Ends the run once the window has been exposed and painted, and prints when that was.
class ExposeWatch : public QObject {
public:
    explicit ExposeWatch(pelmora::CNimbetRawConfigDlg& window) : m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !m_seen && m_window.Window().windowHandle()->isExposed()) {
            m_seen = true;
            // Queued: runs after the expose's paint has reached the window system.
            QTimer::singleShot(0, &m_window.Window(), [this] {
                std::printf("%lld\n", MonotonicNs());
                std::fflush(stdout);
                m_window.EndDialog(pelmora::IDCANCEL);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    pelmora::CNimbetRawConfigDlg& m_window;
    bool m_seen = false;
};

class TimedApp : public pelmora::CNimbetRawConfigApp {
public:
    using CNimbetRawConfigApp::CNimbetRawConfigApp;

protected:
    int RunMainWindow(pelmora::CNimbetRawConfigDlg& window) override {
        window.Window().winId();
        ExposeWatch watch(window);
        window.Window().windowHandle()->installEventFilter(&watch);
        return CNimbetRawConfigApp::RunMainWindow(window);
    }
};

int RunChild(char* program) {
    std::string helperError;
    const auto helper = pelmora::NetHelperClient::Start({PELMORA_HELPER_PATH}, helperError);
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication application(qtArgc, qtArgv);
    pelmora::UdpTransport transport;
    pelmora::SteadyClock clock;
    pelmora::SystemDeviceNetwork network(transport, clock, helper.get());
    pelmora::SystemAddressPlatform addresses(helper.get());
    TimedApp app(network, addresses, pelmora::EditWithDialog);
    app.InitInstance();
    return 0;
}

// One child run: milliseconds from just before its spawn to its painted window; negative on failure.
double TimeOneStart(char* self) {
    int out[2];
    if (pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char childFlag[] = "--child";
    char* argv[] = {self, childFlag, nullptr};
    pid_t pid = 0;
    const long long start = MonotonicNs();
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return -1;
    }
    std::string text;
    char buffer[64];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) return -1;
    return static_cast<double>(std::atoll(text.c_str()) - start) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return RunChild(argv[0]);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = TimeOneStart(argv[0]);
        if (ms < 0) {
            std::fprintf(stderr, "app_startup: run %d failed\n", i + 1);
            return 1;
        }
        std::printf("run %2d: %.1f ms\n", i + 1, ms);
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to painted window: median %.1f ms, min %.1f ms, max %.1f ms (%d runs)\n",
                times[times.size() / 2], times.front(), times.back(), runs);
    return 0;
}
