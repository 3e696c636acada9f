#pragma once
// Child processes for end-to-end tests: a command run to completion with its output captured, and a
// long-running process whose output goes to a log file.
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::test {

struct CommandResult {
    int exitStatus = -1;  // the exit code; -1 when the command did not start or was killed
    bool timedOut = false;
    std::string output;  // standard output and standard error, interleaved as written
};

// Runs argv[0] (a path, or a name looked up on PATH) without a shell. A command still running at the
// timeout gets SIGTERM, then SIGKILL.
CommandResult RunCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// `text` cut at every `separator`, such as a command's output into lines or a line into its tab-separated
// cells; a separator at the very end makes no empty last piece.
std::vector<std::string> Split(const std::string& text, char separator);

// A process started with its standard output and error appended to a log file, standard input empty.
class LoggedProcess {
public:
    static std::unique_ptr<LoggedProcess> Start(const std::vector<std::string>& argv, const std::string& logPath);
    ~LoggedProcess();  // stops the process
    LoggedProcess(const LoggedProcess&) = delete;
    LoggedProcess& operator=(const LoggedProcess&) = delete;

    // Waits until a line of the log starts with prefix; false when the process ends or time runs out.
    bool WaitForLine(const std::string& prefix, std::chrono::milliseconds timeout);
    bool Running();
    // SIGTERM, then SIGKILL after the grace time; the exit status, or -1 when it was killed or gone.
    int Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));
    std::string Log() const;
    const std::string& LogPath() const { return m_logPath; }
    pid_t Pid() const { return m_pid; }

private:
    LoggedProcess(pid_t pid, int pidFd, std::string logPath)
        : m_pid(pid), m_pidFd(pidFd), m_logPath(std::move(logPath)) {}
    bool Reap(int options);
    pid_t m_pid;
    int m_pidFd;
    std::string m_logPath;
    std::optional<int> m_status;
};

}  // namespace pelmora::test
