#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "platform/HelperChannel_linux.h"

namespace pelmora {

namespace {

using SteadyTime = std::chrono::steady_clock;

// How long the destructor waits for the helper to finish its clean-up and end.
constexpr std::chrono::milliseconds REAP_WAIT{3000};

int RemainingMs(SteadyTime::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyTime::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

std::string ErrnoText(const char* what, int number) { return std::string(what) + ": " + std::strerror(number); }

// The child starts with default signal handling and nothing blocked, whatever this process changed.
bool PrepareAttributes(posix_spawnattr_t& attributes) {
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    sigemptyset(&none);
    // A session of its own: a Ctrl+C meant for the program reaches the helper through its channel.
    const short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID;
    return posix_spawnattr_setsigdefault(&attributes, &all) == 0 &&
           posix_spawnattr_setsigmask(&attributes, &none) == 0 && posix_spawnattr_setflags(&attributes, flags) == 0;
}

}  // namespace

std::unique_ptr<HelperChannel> HelperChannel::Start(const std::vector<std::string>& argv,
                                                    std::chrono::milliseconds timeout, std::string& error) {
    if (argv.empty() || argv[0].empty() || argv[0][0] != '/') {
        error = "the helper's path is not absolute";
        return nullptr;
    }
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        error = ErrnoText("socketpair", errno);
        return nullptr;
    }
    // Above the standard descriptors, so that dup2 onto 0 and 1 makes copies without close-on-exec.
    const int childEnd = fcntl(pair[1], F_DUPFD_CLOEXEC, 3);
    const int dupError = errno;
    close(pair[1]);
    if (childEnd < 0) {
        close(pair[0]);
        error = ErrnoText("fcntl", dupError);
        return nullptr;
    }

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    char* environment[] = {nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    pid_t pid = 0;
    int result = EINVAL;
    if (posix_spawn_file_actions_adddup2(&actions, childEnd, STDIN_FILENO) == 0 &&
        posix_spawn_file_actions_adddup2(&actions, childEnd, STDOUT_FILENO) == 0 && PrepareAttributes(attributes))
        result = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environment);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(childEnd);
    if (result != 0) {
        close(pair[0]);
        error = ErrnoText(argv[0].c_str(), result);
        return nullptr;
    }
    return std::unique_ptr<HelperChannel>(new HelperChannel(pair[0], pid, timeout));
}

HelperChannel::~HelperChannel() {
    Close();
    if (m_pid <= 0) return;
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    if (pidFd >= 0) {
        const auto deadline = SteadyTime::now() + REAP_WAIT;
        pollfd ended{pidFd, POLLIN, 0};
        while (poll(&ended, 1, RemainingMs(deadline)) < 0 && errno == EINTR) {
        }
        close(pidFd);
    }
    // A helper still busy after the wait finishes on its own; it is not killed, which would leave its
    // address behind.
    waitpid(m_pid, nullptr, WNOHANG);
}

void HelperChannel::Close() {
    if (m_fd < 0) return;
    close(m_fd);
    m_fd = -1;
    m_pending.clear();
}

std::optional<std::string> HelperChannel::ReadLine() {
    const auto deadline = SteadyTime::now() + m_timeout;
    while (m_fd >= 0) {
        const std::size_t newline = m_pending.find('\n');
        if (newline <= MAX_LINE) {  // npos is no line yet
            std::string line = m_pending.substr(0, newline);
            m_pending.erase(0, newline + 1);
            return line;
        }
        if (m_pending.size() > MAX_LINE) break;
        pollfd readable{m_fd, POLLIN, 0};
        const int ready = poll(&readable, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return std::nullopt;
        if (ready < 0) break;
        char chunk[256];
        const ssize_t n = recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) break;
        m_pending.append(chunk, static_cast<std::size_t>(n));
    }
    Close();
    return std::nullopt;
}

std::optional<std::string> HelperChannel::Exchange(const std::string& line) {
    const std::string text = line + '\n';
    const auto deadline = SteadyTime::now() + m_timeout;
    std::size_t sent = 0;
    while (m_fd >= 0 && sent < text.size()) {
        const ssize_t n = send(m_fd, text.data() + sent, text.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n >= 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN) {
            Close();
            break;
        }
        pollfd writable{m_fd, POLLOUT, 0};
        const int ready = poll(&writable, 1, RemainingMs(deadline));
        if (ready == 0 || (ready < 0 && errno != EINTR)) Close();
    }
    if (m_fd < 0) return std::nullopt;
    for (;;) {
        auto reply = ReadLine();
        if (!reply) {
            if (m_fd >= 0) ++m_lateReplies;
            return std::nullopt;
        }
        if (m_lateReplies == 0) return reply;
        --m_lateReplies;
    }
}

std::string InstalledHelperPath() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.empty()) return {};
    return (executable.parent_path() / PELMORA_HELPER_FROM_PROGRAM).lexically_normal().string();
}

}  // namespace pelmora
