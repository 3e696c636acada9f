#pragma once
// The fixture of every end-to-end test. SetUp skips without root, brings a lab up and moves the test
// thread into the lab's PC namespace (sockets and netlink made by the test then live there); TearDown
// prints the logs of the processes the test started when it failed, stops them, returns the thread to
// its own namespace and tears the lab down.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/Command.h"
#include "tests/support/Lab.h"
#include "tests/support/Namespaces.h"

namespace pelmora::test {

class LabTest : public ::testing::Test {
protected:
    // Override to shape the lab.
    virtual LabOptions Options() const { return {}; }

    void SetUp() override;
    void TearDown() override;

    Lab& TheLab() { return *m_lab; }

    // Starts argv in device namespace n with its output in a log file, and waits for a log line that
    // starts with readyPrefix (no wait when it is empty). Null, with a test failure, when the process
    // cannot start or is not ready in time.
    LoggedProcess* StartInDevice(int n, const std::vector<std::string>& argv, const std::string& readyPrefix = "READY",
                                 std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The same in any node of the lab ("rdevN" for a routed device).
    LoggedProcess* StartInNode(const std::string& node, const std::vector<std::string>& argv,
                               const std::string& readyPrefix = "READY",
                               std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The same with the device simulator (target pelmora-sim, or $PELMORA_SIM) and its arguments.
    LoggedProcess* StartSimulator(int n, const std::vector<std::string>& args, const std::string& readyPrefix = "READY",
                                  std::chrono::milliseconds timeout = std::chrono::seconds(10));
    LoggedProcess* StartSimulatorIn(const std::string& node, const std::vector<std::string>& args,
                                    const std::string& readyPrefix = "READY",
                                    std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Runs a command in the PC namespace (for instance a command-line scanner) and captures its output.
    CommandResult RunInPc(const std::vector<std::string>& argv,
                          std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Runs fn with this thread in another namespace of the lab ("sw", "devN", ...), then returns to the PC
    // namespace. A socket made inside fn stays in that namespace, so one thread can drive both ends.
    void InNode(const std::string& node, const std::function<void()>& fn);

    static std::string SimulatorPath();

private:
    std::unique_ptr<Lab> m_lab;
    std::unique_ptr<NamespaceEntry> m_inPc;
    std::vector<std::pair<std::string, std::unique_ptr<LoggedProcess>>> m_processes;
};

}  // namespace pelmora::test
