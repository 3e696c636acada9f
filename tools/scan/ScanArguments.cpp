#include "tools/scan/ScanArguments.h"

namespace pelmora {

bool ParseScanArguments(const std::vector<std::string>& args, ScanArguments& out, std::string& error) {
    ScanArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--json") {
            if (parsed.json) {
                error = "--json given twice";
                return false;
            }
            parsed.json = true;
        } else if (arg == "--wink") {
            if (parsed.winkMac) {
                error = "--wink given twice";
                return false;
            }
            if (i + 1 >= args.size()) {
                error = "--wink needs a MAC address (for example 02:00:00:00:00:01)";
                return false;
            }
            parsed.winkMac = ParseMacText(args[++i]);
            if (!parsed.winkMac) {
                error =
                    "not a MAC address: '" + args[i] + "' (expected six hex pairs with colons, e.g. 02:00:00:00:00:01)";
                return false;
            }
        } else {
            error = "unknown argument '" + arg + "'";
            return false;
        }
    }
    out = parsed;
    return true;
}

const char* ScanUsageText() {
    return "usage: pelmora-scan [--json] [--wink MAC]\n"
           "Runs one discovery scan from every local IPv4 address (two windows of 2000 ms) and prints the\n"
           "devices that answered, sorted by MAC address.\n"
           "  --json       print a JSON array of objects, one per device, keyed by the column headings\n"
           "  --wink MAC   after the scan, make the device with this MAC wink (MAC as in the \"Unit\"\n"
           "               column, e.g. 02:00:00:00:00:01, either case)\n"
           "  --help       print this text\n"
           "Exit status: 0 on success, 1 when the scan cannot run or the MAC did not answer, 2 for a bad\n"
           "argument.\n";
}

}  // namespace pelmora
