#include "tests/support/Command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

namespace pelmora::test {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline, int cap) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, cap));
}

std::vector<char*> ArgvPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& a : argv) pointers.push_back(const_cast<char*>(a.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void ExecChild(char* const* argv, int outFd) {
    const int nullFd = open("/dev/null", O_RDONLY);
    if (nullFd >= 0) dup2(nullFd, STDIN_FILENO);
    dup2(outFd, STDOUT_FILENO);
    dup2(outFd, STDERR_FILENO);
    execvp(argv[0], argv);
    _exit(127);
}

int DecodeStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

int OpenPidFd(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

}  // namespace

CommandResult RunCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    CommandResult result;
    if (argv.empty()) return result;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return result;
    std::vector<char*> pointers = ArgvPointers(argv);
    const pid_t pid = fork();
    if (pid == 0) ExecChild(pointers.data(), fds[1]);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return result;
    }
    const auto deadline = Clock::now() + timeout;
    bool signalled = false;
    Clock::time_point killDeadline;
    int status = 0;
    bool reaped = false;
    char chunk[4096];
    // Reading stops at end of output; a background grandchild that keeps the pipe open cannot hold us
    // past the child's own exit.
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const int ready = poll(&p, 1, signalled ? 100 : RemainingMs(deadline, 100));
        if (ready > 0) {
            const ssize_t n = read(fds[0], chunk, sizeof chunk);
            if (n > 0) {
                result.output.append(chunk, static_cast<std::size_t>(n));
                continue;
            }
            if (n == 0) break;
        }
        if (waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            fcntl(fds[0], F_SETFL, O_NONBLOCK);
            ssize_t n;
            while ((n = read(fds[0], chunk, sizeof chunk)) > 0)
                result.output.append(chunk, static_cast<std::size_t>(n));
            break;
        }
        // SIGTERM first, so that a script's clean-up trap runs; SIGKILL when that takes too long.
        if (Clock::now() >= deadline) {
            if (!signalled) {
                result.timedOut = true;
                signalled = true;
                kill(pid, SIGTERM);
                killDeadline = Clock::now() + std::chrono::seconds(10);
            } else if (Clock::now() >= killDeadline) {
                kill(pid, SIGKILL);
            }
        }
    }
    close(fds[0]);
    if (!reaped) {
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    result.exitStatus = result.timedOut ? -1 : DecodeStatus(status);
    return result;
}

std::unique_ptr<LoggedProcess> LoggedProcess::Start(const std::vector<std::string>& argv, const std::string& logPath) {
    if (argv.empty()) return nullptr;
    const int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (logFd < 0) return nullptr;
    std::vector<char*> pointers = ArgvPointers(argv);
    const pid_t pid = fork();
    if (pid == 0) ExecChild(pointers.data(), logFd);
    close(logFd);
    if (pid < 0) return nullptr;
    return std::unique_ptr<LoggedProcess>(new LoggedProcess(pid, OpenPidFd(pid), logPath));
}

LoggedProcess::~LoggedProcess() {
    Stop();
    if (m_pidFd >= 0) close(m_pidFd);
}

bool LoggedProcess::Reap(int options) {
    if (m_status) return true;
    int status = 0;
    pid_t got;
    do {
        got = waitpid(m_pid, &status, options);
    } while (got < 0 && errno == EINTR);
    if (got != m_pid) return false;
    m_status = DecodeStatus(status);
    return true;
}

bool LoggedProcess::Running() { return !Reap(WNOHANG); }

std::string LoggedProcess::Log() const {
    std::ifstream in(m_logPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool LoggedProcess::WaitForLine(const std::string& prefix, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch >= 0) inotify_add_watch(watch, m_logPath.c_str(), IN_MODIFY | IN_CLOSE_WRITE);
    bool found = false;
    for (;;) {
        const std::string log = Log();
        for (std::size_t start = 0; start < log.size();) {
            const std::size_t end = std::min(log.find('\n', start), log.size());
            if (log.compare(start, prefix.size(), prefix) == 0 && end - start >= prefix.size()) found = true;
            start = end + 1;
        }
        if (found || !Running() || Clock::now() >= deadline) break;
        // Woken by a write to the log or by the process's end; the cap only guards against a missed event.
        pollfd fds[2] = {{watch, POLLIN, 0}, {m_pidFd, POLLIN, 0}};
        poll(fds, 2, RemainingMs(deadline, 250));
        if (watch >= 0) {
            char events[4096];
            while (read(watch, events, sizeof events) > 0) {
            }
        }
    }
    if (watch >= 0) close(watch);
    return found;
}

int LoggedProcess::Stop(std::chrono::milliseconds grace) {
    if (!Running()) return *m_status;
    kill(m_pid, SIGTERM);
    const auto deadline = Clock::now() + grace;
    while (Running() && Clock::now() < deadline) {
        pollfd p{m_pidFd, POLLIN, 0};
        if (poll(&p, 1, RemainingMs(deadline, 20)) < 0 && errno != EINTR) break;
    }
    if (Running()) {
        kill(m_pid, SIGKILL);
        Reap(0);
        m_status = -1;
    }
    return *m_status;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

}  // namespace pelmora::test
