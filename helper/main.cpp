// pelmora-net-helper: the only part of the configuration tool that holds CAP_NET_ADMIN (a file
// capability). The program starts it with a socket as standard input and output; it adds one temporary
// address, deletes it, and flushes neighbour entries on request (HelperProtocol.h), and deletes the
// address it added when the channel closes or a termination signal arrives. No Qt, no shell, no
// environment.
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

#include "helper/HelperProtocol.h"
#include "helper/HelperSession.h"
#include "helper/Privileges.h"
#include "platform/Adapters.h"
#include "platform/SystemNetworkAdmin.h"

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

// Serves requests until the channel closes, a line is too long or a termination signal arrives.
void Serve(pelmora::HelperSession& session, int signals) {
    pelmora::LineSplitter lines(pelmora::MAX_REQUEST_LINE);
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {signals, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
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
    pelmora::SystemNetworkAdmin admin;
    pelmora::HelperSession session(admin, [] { return pelmora::ListAdapters(); });
    if (Say(pelmora::HELPER_GREETING)) Serve(session, signals);
    session.Release();
    return 0;
}
