#include "tests/support/Lab.h"

#include <regex>

namespace pelmora::test {

namespace {
const std::regex PREFIX_PATTERN("plm[0-9a-f]{5}");
}

const char* Lab::ToolPath() { return PELMORA_LAB_TOOL; }

std::unique_ptr<Lab> Lab::Up(const LabOptions& options, std::string& error) {
    std::vector<std::string> argv = {ToolPath(),     "up",
                                     "--devices",    std::to_string(options.devices),
                                     "--extra",      std::to_string(options.extraAdapters),
                                     "--routed",     std::to_string(options.routedDevices),
                                     "--pc-address", options.pcAddress};
    if (!options.pcDefaultRoute) argv.push_back("--no-pc-route");
    if (options.pcBridge) argv.push_back("--pc-bridge");
    const CommandResult up = RunCommand(argv, std::chrono::seconds(60));
    // The prefix is the last line of the output; anything before it is the tool's diagnostics.
    std::string output = up.output;
    while (!output.empty() && output.back() == '\n') output.pop_back();
    const std::string prefix = output.substr(output.rfind('\n') == std::string::npos ? 0 : output.rfind('\n') + 1);
    if (up.exitStatus != 0 || !std::regex_match(prefix, PREFIX_PATTERN)) {
        error = "lab tool 'up' failed (status " + std::to_string(up.exitStatus) + (up.timedOut ? ", timed out" : "") +
                "): " + up.output;
        return nullptr;
    }
    return std::unique_ptr<Lab>(new Lab(prefix, options));
}

Lab::~Lab() { Down(); }

bool Lab::Down() {
    if (!m_up) return true;
    m_up = false;
    return RunCommand({ToolPath(), "down", m_prefix}, std::chrono::seconds(60)).exitStatus == 0;
}

Ipv4Net Lab::DeviceAddress(int n) { return ToNet(Ipv4Octets{{192, 168, 92, static_cast<std::uint8_t>(1 + n)}}); }

Ipv4Net Lab::RoutedDeviceAddress(int n) { return ToNet(Ipv4Octets{{192, 168, 93, static_cast<std::uint8_t>(1 + n)}}); }

Ipv4Net Lab::DefaultPcAddress() { return ToNet(Ipv4Octets{{192, 168, 92, 1}}); }

std::vector<std::string> Lab::ExecArgv(const std::string& node, const std::vector<std::string>& argv) const {
    std::vector<std::string> full = {ToolPath(), "exec", m_prefix, node, "--"};
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
}

CommandResult Lab::Exec(const std::string& node, const std::vector<std::string>& argv,
                        std::chrono::milliseconds timeout) const {
    return RunCommand(ExecArgv(node, argv), timeout);
}

}  // namespace pelmora::test
