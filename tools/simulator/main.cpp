// pelmora-sim: many simulated Pelmora devices behind one UDP socket, for tests inside network namespaces.
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/signalfd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "protocol/PacketEnvelope.h"
#include "tools/simulator/AddressClaims.h"
#include "tools/simulator/DeviceFile.h"
#include "tools/simulator/DeviceGenerator.h"
#include "tools/simulator/EventLog.h"
#include "tools/simulator/NetNamespace.h"
#include "tools/simulator/Responder.h"
#include "tools/simulator/SimOptions.h"
#include "tools/simulator/SimSocket.h"
#include "tools/simulator/SimWire.h"
#include "tools/simulator/SimulatorLoop.h"

namespace pelmora {
namespace {

constexpr int EXIT_USAGE = 2;
constexpr int EXIT_REFUSED = 3;

int Fail(const std::string& message) {
    std::fprintf(stderr, "pelmora-sim: %s\n", message.c_str());
    return EXIT_FAILURE;
}

// The first IPv4 address of a non-loopback interface, for a MAC base that differs between namespaces.
bool NamespaceAddress(Ipv4Octets& address) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool found = false;
    for (const ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
        sockaddr_in ipv4{};
        std::memcpy(&ipv4, entry->ifa_addr, sizeof ipv4);
        address = ToOctets(Ipv4Net{ipv4.sin_addr.s_addr});
        found = address.bytes[0] != 127;
    }
    freeifaddrs(list);
    return found;
}

// The subnets of the namespace's own addresses outside 127.0.0.0/8: where a device's gateway can exist.
std::vector<Ipv4Prefix> AttachedSubnets() {
    std::vector<Ipv4Prefix> subnets;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return subnets;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_netmask == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        sockaddr_in address{};
        sockaddr_in mask{};
        std::memcpy(&address, entry->ifa_addr, sizeof address);
        std::memcpy(&mask, entry->ifa_netmask, sizeof mask);
        const Ipv4Octets own = ToOctets(Ipv4Net{address.sin_addr.s_addr});
        const auto length = PrefixLength(Ipv4Net{mask.sin_addr.s_addr});
        if (own.bytes[0] != 127 && length) subnets.push_back({own, *length});
    }
    freeifaddrs(list);
    return subnets;
}

bool LoadDevices(const SimOptions& options, std::vector<SimDevice>& devices, std::string& error) {
    for (const std::string& path : options.deviceFiles) {
        std::ifstream in(path);
        if (!in) {
            error = "cannot read device file " + path;
            return false;
        }
        std::string reason;
        if (!ReadDeviceFile(in, devices, reason)) {
            error = path + ": " + reason;
            return false;
        }
    }
    GeneratorSettings generator = options.generator;
    if (options.macBaseAuto) {
        Ipv4Octets own;
        if (!NamespaceAddress(own)) {
            error = "--mac-base auto: this namespace has no IPv4 address outside 127.0.0.0/8";
            return false;
        }
        generator.macBase = MacAddress{{0x02, own.bytes[1], own.bytes[2], own.bytes[3], 0x00, 0x01}};
    }
    const std::vector<SimDevice> generated = GenerateDevices(generator);
    devices.insert(devices.end(), generated.begin(), generated.end());
    std::set<MacAddress> seen;
    for (const SimDevice& device : devices) {
        if (!seen.insert(device.mac).second) {
            error = "MAC " + MacText(device.mac) + " is given twice";
            return false;
        }
    }
    return true;
}

int Run(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "pelmora-sim: %s\n%s", error.c_str(), UsageText());
        return EXIT_USAGE;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return EXIT_SUCCESS;
    }
    // Before anything else that could lead to a socket: the machine's own network is never ours.
    if (!options.dumpDevices) {
        std::string detail;
        const NamespaceVerdict verdict = CheckNetNamespace(detail);
        if (verdict != NamespaceVerdict::Private) {
            std::fprintf(stderr,
                         "pelmora-sim: refusing to run %s (%s); start it inside a network namespace of its own "
                         "(unshare -n, ip netns exec, or pelmora-lab)\n",
                         verdict == NamespaceVerdict::Initial ? "in the machine's own network namespace"
                                                              : "where the network namespace cannot be checked",
                         detail.c_str());
            return EXIT_REFUSED;
        }
    }
    std::vector<SimDevice> devices;
    if (!LoadDevices(options, devices, error)) return Fail(error);
    if (options.dumpDevices) {
        for (const SimDevice& device : devices) std::printf("%s\n", FormatDeviceLine(device).c_str());
        return EXIT_SUCCESS;
    }

    std::FILE* logFile = stderr;
    if (!options.logPath.empty()) {
        logFile = std::fopen(options.logPath.c_str(), "w");
        if (logFile == nullptr) return Fail("cannot write log " + options.logPath);
    }
    EventLog log(logFile);

    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGHUP);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int signalFd = signalfd(-1, &stops, SFD_CLOEXEC);
    if (signalFd < 0) return Fail("signalfd failed");

    SimSocket socket;
    if (!socket.Open(simwire::PORT, error)) return Fail(error);

    ResponderSettings settings = options.responder;
    settings.attachedSubnets = AttachedSubnets();
    AddressClaims claims(log);
    if (options.claimAddresses) {
        if (!claims.Start(error)) return Fail(error);
        for (const SimDevice& device : devices) claims.Claim(device.ip);
    }
    const std::size_t count = devices.size();
    Responder responder(std::move(devices), settings, log);
    if (options.claimAddresses) {
        responder.OnAddressChange([&claims](Ipv4Octets before, Ipv4Octets after) {
            claims.Release(before);
            claims.Claim(after);
        });
    }
    LoopTiming timing{options.replyDelay, options.replyGap, options.lifetime};
    SimulatorLoop loop(responder, socket, log, timing);

    JsonObject start;
    start.AddText("dir", "note").AddText("event", "start").AddNumber("devices", static_cast<std::int64_t>(count));
    start.AddNumber("port", simwire::PORT).AddNumber("lifetime_ms", options.lifetime.count());
    log.Write(start);
    log.Flush();
    std::printf("READY port=%u devices=%zu\n", unsigned{simwire::PORT}, count);
    std::fflush(stdout);

    const std::string reason = loop.Run(signalFd);
    JsonObject stop;
    stop.AddText("dir", "note").AddText("event", "stop").AddText("reason", reason);
    stop.AddNumber("received", static_cast<std::int64_t>(loop.ReceivedCount()));
    stop.AddNumber("sent", static_cast<std::int64_t>(loop.SentCount()));
    log.Write(stop);
    log.Flush();
    if (logFile != stderr) std::fclose(logFile);
    return EXIT_SUCCESS;
}

}  // namespace
}  // namespace pelmora

int main(int argc, char** argv) { return pelmora::Run(argc, argv); }
