#include "tools/simulator/SimOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <set>

namespace pelmora {
namespace {

bool ParseCount(const std::string& text, std::size_t max, std::size_t& out) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 10) return false;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > max) return false;
    out = static_cast<std::size_t>(value);
    return true;
}

// A non-negative decimal number of seconds (fractions allowed) as milliseconds.
bool ParseSeconds(const std::string& text, double max, std::chrono::milliseconds& out) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
    errno = 0;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(seconds) || seconds > max) return false;
    out = std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000.0)));
    return true;
}

bool ParseMode(const std::string& text, ReplyMode& mode) {
    if (text == "auto") mode = ReplyMode::Auto;
    else if (text == "unicast") mode = ReplyMode::Unicast;
    else if (text == "broadcast") mode = ReplyMode::Broadcast;
    else return false;
    return true;
}

}  // namespace

const char* UsageText() {
    return "usage: pelmora-sim [options]\n"
           "  --devices FILE          devices from FILE (repeatable; format in README.md)\n"
           "  --generate N            N generated devices (0..65535)\n"
           "  --mac-base MAC|auto     first generated MAC (default 02:00:00:00:00:01); auto: from this\n"
           "                          namespace's IPv4 address, 02:b:c:d:00:01\n"
           "  --subnet A.B.C.D/P      subnet of generated devices (default 192.168.92.0/24)\n"
           "  --reply auto|unicast|broadcast   how devices answer (default auto: unicast when the\n"
           "                          device's subnet holds the requester or its gateway is on this\n"
           "                          namespace's subnets, else broadcast)\n"
           "  --broadcast-address A   destination of broadcast answers (default 255.255.255.255)\n"
           "  --shuffle               answer in a random order (--seed N, default 1)\n"
           "  --reply-delay MS        wait before the first answer to a request\n"
           "  --reply-gap US          pause between answers, microseconds\n"
           "  --restart-silence S     a device that took a write ignores requests and writes for S seconds\n"
           "  --dhcp-address A[/P]    address handed to a device that turns DHCP on (next one: A+1, ...)\n"
           "  --faults KIND,...|all   one extra broken reply of each kind per request\n"
           "  --faults-only           leave the devices' good replies out\n"
           "  --flood N               N broken datagrams to the requester per request (max 10000)\n"
           "  --flood-macs M          good replies of M made-up devices to the requester per request\n"
           "  --claim-addresses       put every device's address on this namespace's interface as a /32,\n"
           "                          so unicasts to it arrive (needs CAP_NET_ADMIN)\n"
           "  --lifetime S            stop after S seconds (default 120, max 3600)\n"
           "  --log FILE              JSON-lines log (default standard error)\n"
           "  --dump-devices          print the device table in file format and exit\n"
           "fault kinds: bad-packet-check bad-head-check bad-length short-datagram empty-reply cut-list\n"
           "             short-mac no-mac oversize wrong-command bad-lead request-echo\n";
}

bool ParseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    SimOptions o;
    static const std::set<std::string> valued = {
        "--devices",   "--generate",          "--mac-base",     "--subnet",
        "--reply",     "--broadcast-address", "--seed",         "--reply-delay",
        "--reply-gap", "--restart-silence",   "--dhcp-address", "--faults",
        "--flood",     "--flood-macs",        "--lifetime",     "--log"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        std::string v;
        bool ok = true;
        std::size_t count = 0;
        std::chrono::milliseconds ms{0};
        if (valued.count(name) != 0) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            v = args[++i];
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--shuffle") {
            o.responder.shuffle = true;
        } else if (name == "--faults-only") {
            o.responder.faultsOnly = true;
        } else if (name == "--dump-devices") {
            o.dumpDevices = true;
        } else if (name == "--claim-addresses") {
            o.claimAddresses = true;
        } else if (name == "--devices") {
            o.deviceFiles.push_back(v);
        } else if (name == "--generate") {
            ok = ParseCount(v, MAX_GENERATED, o.generator.count);
        } else if (name == "--mac-base") {
            o.macBaseAuto = v == "auto";
            ok = o.macBaseAuto || ParseMac(v, o.generator.macBase);
        } else if (name == "--subnet") {
            ok = ParsePrefix(v, 24, o.generator.subnet);
        } else if (name == "--reply") {
            ok = ParseMode(v, o.responder.mode);
        } else if (name == "--broadcast-address") {
            ok = ParseIpv4(v, o.responder.broadcast);
        } else if (name == "--seed") {
            ok = ParseCount(v, 0xFFFFFFFFu, count);
            o.responder.seed = static_cast<std::uint32_t>(count);
        } else if (name == "--reply-delay") {
            ok = ParseCount(v, 60000, count);
            o.replyDelay = std::chrono::milliseconds(count);
        } else if (name == "--reply-gap") {
            ok = ParseCount(v, 1000000, count);
            o.replyGap = std::chrono::microseconds(count);
        } else if (name == "--restart-silence") {
            ok = ParseSeconds(v, 600, o.responder.restartSilence);
        } else if (name == "--dhcp-address") {
            Ipv4Prefix lease;
            ok = ParsePrefix(v, 24, lease);
            o.responder.dhcpLease = lease;
        } else if (name == "--faults") {
            ok = ParseFaultList(v, o.responder.faults);
        } else if (name == "--flood") {
            ok = ParseCount(v, MAX_FLOOD, o.responder.flood);
        } else if (name == "--flood-macs") {
            ok = ParseCount(v, MAX_FLOOD, o.responder.floodMacs);
        } else if (name == "--lifetime") {
            ok = ParseSeconds(v, MAX_LIFETIME_SECONDS, ms) && ms.count() > 0;
            o.lifetime = ms;
        } else if (name == "--log") {
            o.logPath = v;
        } else {
            error = "unknown option " + name;
            return false;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + v;
            return false;
        }
    }
    options = std::move(o);
    return true;
}

}  // namespace pelmora
