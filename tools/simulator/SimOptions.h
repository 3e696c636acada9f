#pragma once
// The simulator's command line.
#include <chrono>
#include <string>
#include <vector>

#include "tools/simulator/DeviceGenerator.h"
#include "tools/simulator/Responder.h"

namespace pelmora {

constexpr std::size_t MAX_GENERATED = 65535;
constexpr std::size_t MAX_FLOOD = 10000;
constexpr double MAX_LIFETIME_SECONDS = 3600;

struct SimOptions {
    std::vector<std::string> deviceFiles;
    GeneratorSettings generator;
    bool macBaseAuto = false;  // derived from the namespace's own IPv4 address
    ResponderSettings responder;
    std::chrono::milliseconds replyDelay{0};  // before the first answer to a request
    std::chrono::microseconds replyGap{0};    // between answers
    std::chrono::milliseconds lifetime{120000};
    std::string logPath;          // empty: standard error
    bool claimAddresses = false;  // put the devices' addresses on the namespace's interface
    bool dumpDevices = false;
    bool help = false;
};

// args excludes the program name. False with a reason on the first bad argument.
bool ParseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);
const char* UsageText();

}  // namespace pelmora
