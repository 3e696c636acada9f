#pragma once
// A helper program started on a socket pair and spoken to in lines for the caller's whole run. Each
// wait for a line is bounded: a reply that comes late fails its own request only, and is dropped when
// it arrives. A channel that breaks (the helper ended, a line came too long) is closed for good, which
// a helper takes as the end of its run.
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

class HelperChannel {
public:
    // Longest line read, newline excluded.
    static constexpr std::size_t MAX_LINE = 512;

    // Starts argv (argv[0] an absolute path) in a session of its own, with an empty environment, one end
    // of the socket pair as standard input and output and this process's standard error. Null, with the
    // reason in error, when it cannot be started.
    static std::unique_ptr<HelperChannel> Start(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                                                std::string& error);
    // Closes the socket and gives the helper a bounded time to finish (and be reaped).
    ~HelperChannel();
    HelperChannel(const HelperChannel&) = delete;
    HelperChannel& operator=(const HelperChannel&) = delete;

    // The next line from the helper, without its newline; nothing when none came in time.
    std::optional<std::string> ReadLine();
    // Sends line and a newline, then reads its reply line; nothing when it did not come in time.
    std::optional<std::string> Exchange(const std::string& line);
    bool IsOpen() const { return m_fd >= 0; }
    pid_t Pid() const { return m_pid; }

private:
    HelperChannel(int fd, pid_t pid, std::chrono::milliseconds timeout) : m_fd(fd), m_pid(pid), m_timeout(timeout) {}
    void Close();

    int m_fd;
    pid_t m_pid;
    std::chrono::milliseconds m_timeout;
    std::string m_pending;
    // Replies still owed to requests that gave up waiting; they are read and dropped first.
    std::size_t m_lateReplies = 0;
};

// Where a program finds the network helper, installed or in the build tree:
// <directory of the running executable>/../libexec/pelmora-config/pelmora-net-helper (the install
// directories decide the relative part). Empty when the executable's path cannot be read.
std::string InstalledHelperPath();

}  // namespace pelmora
