#include "tools/scan/ScanArguments.h"

namespace pelmora {

namespace {

// The value after option i; false, with error set, when there is none.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const char* missing, std::string& value,
               std::string& error) {
    if (i + 1 >= args.size()) {
        error = missing;
        return false;
    }
    value = args[++i];
    return true;
}

}  // namespace

bool ParseScanArguments(const std::vector<std::string>& args, ScanArguments& out, std::string& error) {
    ScanArguments parsed;
    bool outputGiven = false;
    bool destinationGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--json" || arg == "--csv") {
            const ScanOutput asked = arg == "--json" ? ScanOutput::Json : ScanOutput::Csv;
            if (outputGiven) {
                error = asked == parsed.output ? arg + " given twice" : "--json and --csv exclude each other";
                return false;
            }
            outputGiven = true;
            parsed.output = asked;
        } else if (arg == "--wink") {
            if (parsed.winkMac) {
                error = "--wink given twice";
                return false;
            }
            if (!TakeValue(args, i, "--wink needs a MAC address (for example 02:00:00:00:00:01)", value, error))
                return false;
            parsed.winkMac = ParseMacText(value);
            if (!parsed.winkMac) {
                error =
                    "not a MAC address: '" + value + "' (expected six hex pairs with colons, e.g. 02:00:00:00:00:01)";
                return false;
            }
        } else if (arg == "--to") {
            if (destinationGiven) {
                error = "--to given twice";
                return false;
            }
            if (!TakeValue(args, i, "--to needs an IPv4 address (for example 192.168.5.255)", value, error))
                return false;
            Ipv4Octets address;
            if (!ParseIpv4(value, address)) {
                error = "not an IPv4 address: '" + value + "'";
                return false;
            }
            destinationGiven = true;
            parsed.destination = ToHost(address);
        } else {
            error = "unknown argument '" + arg + "'";
            return false;
        }
    }
    out = parsed;
    return true;
}

const char* ScanUsageText() {
    return "usage: pelmora-scan [--json | --csv] [--to ADDRESS] [--wink MAC]\n"
           "Runs one discovery scan from every local IPv4 address (two windows of 2000 ms) and prints the\n"
           "devices that answered, sorted by MAC address. A last column, \"Duplicates\", names the columns\n"
           "whose value another device shares: \"Device ID\" (BACnet devices) and \"IP address\".\n"
           "  --json        print a JSON array of objects, one per device, keyed by the column headings,\n"
           "                with \"duplicates\": the list of flagged column headings\n"
           "  --csv         print CSV (RFC 4180, UTF-8): the nine headings and \"Duplicates\", one line per device\n"
           "  --to ADDRESS  send the request to ADDRESS instead of 255.255.255.255: a directed broadcast\n"
           "                such as 192.168.5.255, or one device's address, for devices behind a router;\n"
           "                the wink of --wink goes there too\n"
           "  --wink MAC    after the scan, make the device with this MAC wink (MAC as in the \"Unit\"\n"
           "                column, e.g. 02:00:00:00:00:01, either case)\n"
           "  --help        print this text\n"
           "Exit status: 0 on success, 1 when the scan cannot run or the MAC did not answer, 2 for a bad\n"
           "argument.\n";
}

}  // namespace pelmora
