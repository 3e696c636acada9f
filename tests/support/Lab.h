#pragma once
// One lab made by the lab tool (tools/lab/pelmora-lab): a PC namespace, device namespaces and a switch
// namespace under one prefix. The object owns the lab and tears it down when destroyed.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "base/Ipv4.h"
#include "tests/support/Command.h"

namespace pelmora::test {

struct LabOptions {
    int devices = 1;
    int extraAdapters = 0;                      // Ethernet adapters in the PC namespace without IPv4
    int routedDevices = 0;                      // devices in a second subnet behind a router namespace
    std::string pcAddress = "192.168.92.1/24";  // "none" leaves the PC's veth without an address
    bool pcDefaultRoute = true;
    bool pcBridge = false;  // a bridge with one veth port in the PC namespace, made before the extra adapters
};

class Lab {
public:
    // Brings a lab up; null, with the tool's output in error, when that fails.
    static std::unique_ptr<Lab> Up(const LabOptions& options, std::string& error);
    ~Lab();
    Lab(const Lab&) = delete;
    Lab& operator=(const Lab&) = delete;

    // Tears the lab down (the destructor does it too); false when the tool could not remove everything.
    bool Down();

    const std::string& Prefix() const { return m_prefix; }
    const LabOptions& Options() const { return m_options; }

    // Namespace names, as "ip netns" knows them.
    std::string PcNamespace() const { return m_prefix + "-pc"; }
    std::string SwitchNamespace() const { return m_prefix + "-sw"; }
    std::string DeviceNamespace(int n) const { return m_prefix + "-d" + std::to_string(n); }
    std::string RoutedDeviceNamespace(int n) const { return m_prefix + "-r" + std::to_string(n); }
    // The lab tool's name for a node: "pc", "sw", "devN", and with routed devices "rt", "sw2", "rdevN".
    static std::string DeviceNode(int n) { return "dev" + std::to_string(n); }
    static std::string RoutedDeviceNode(int n) { return "rdev" + std::to_string(n); }

    // Interface names inside their namespaces.
    std::string PcInterface() const { return m_prefix + "pc"; }
    std::string ExtraInterface(int n) const { return m_prefix + "x" + std::to_string(n); }
    std::string DeviceInterface(int n) const { return m_prefix + "d" + std::to_string(n); }
    std::string PcBridge() const { return m_prefix + "cbr"; }
    std::string PcBridgePort() const { return m_prefix + "cv"; }

    // Device n (from 1) has 192.168.92.(1+n)/24; the PC has 192.168.92.1/24 unless the options differ.
    static Ipv4Net DeviceAddress(int n);
    static Ipv4Net DefaultPcAddress();
    // Routed device n (from 1) has 192.168.93.(1+n)/24 behind the router, 192.168.92.254 on the PC's side.
    static Ipv4Net RoutedDeviceAddress(int n);

    // Runs argv in a node and captures its output.
    CommandResult Exec(const std::string& node, const std::vector<std::string>& argv,
                       std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
    // The argv that runs argv in a node, for starting long-running processes.
    std::vector<std::string> ExecArgv(const std::string& node, const std::vector<std::string>& argv) const;

    static const char* ToolPath();

private:
    Lab(std::string prefix, LabOptions options) : m_prefix(std::move(prefix)), m_options(std::move(options)) {}
    std::string m_prefix;
    LabOptions m_options;
    bool m_up = true;
};

}  // namespace pelmora::test
