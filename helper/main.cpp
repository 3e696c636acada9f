// pelmora-net-helper: the only part of the configuration tool that holds CAP_NET_ADMIN (a file
// capability). The program starts it with a socket as standard input and output; it adds one temporary
// address that it draws itself, deletes it, and flushes neighbour entries on request (HelperProtocol.h),
// renews the address's lifetime while the channel is open, and deletes it when the channel closes or a
// termination signal arrives. No Qt, no shell, no environment, and nothing linked that reads either
// before main.
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>

#include "helper/HelperProtocol.h"
#include "helper/HelperSession.h"
#include "helper/Privileges.h"
#include "helper/SystemHelperHost.h"
#include "platform/Clock.h"

namespace {

bool Say(const std::string& line) {
    const std::string text = line + '\n';
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The termination signals, blocked and read as data, so that one never interrupts a request half-done.
int TerminationSignalDescriptor() {
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGHUP);
    sigaddset(&ending, SIGINT);
    if (sigprocmask(SIG_BLOCK, &ending, nullptr) != 0) return -1;
    return signalfd(-1, &ending, SFD_CLOEXEC);
}

// Milliseconds until the held address is due for renewal; -1 (no limit) while none is held.
int PollTimeout(const pelmora::HelperSession& session, const pelmora::Clock& clock) {
    const auto due = session.NextRenewal();
    if (!due) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - clock.Now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

// Serves requests until the channel closes, a line is too long or a termination signal arrives.
void Serve(pelmora::HelperSession& session, const pelmora::Clock& clock, int signals) {
    pelmora::LineSplitter lines(pelmora::MAX_REQUEST_LINE);
    for (;;) {
        session.RenewIfDue();
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {signals, POLLIN, 0}};
        const int ready = poll(fds, 2, PollTimeout(session, clock));
        if (ready == 0) continue;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        char chunk[256];
        const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return;
        lines.Feed(chunk, static_cast<std::size_t>(n));
        while (const auto line = lines.Next())
            if (!Say(session.Handle(*line))) return;
        if (lines.Overflowed()) {
            Say("ERR line too long");
            return;
        }
    }
}

}  // namespace

int main(int argc, char**) {
    signal(SIGPIPE, SIG_IGN);
    pelmora::CloseOtherDescriptors();
    clearenv();
    if (argc > 1) {
        Say("ERR pelmora-net-helper takes no arguments");
        return 2;
    }
    if (!pelmora::KeepOnlyNetAdmin()) {
        Say("ERR no CAP_NET_ADMIN (pelmora-net-helper needs the file capability cap_net_admin=ep)");
        return 1;
    }
    const int signals = TerminationSignalDescriptor();
    if (signals < 0) {
        Say("ERR cannot watch for termination signals");
        return 1;
    }
    pelmora::SystemHelperHost host;
    pelmora::SteadyClock clock;
    pelmora::HelperSession session(host, clock);
    if (Say(pelmora::HELPER_GREETING)) Serve(session, clock, signals);
    session.Release();
    return 0;
}
