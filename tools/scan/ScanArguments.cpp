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
        } else if (arg == "--plan") {
            if (parsed.planPath) {
                error = "--plan given twice";
                return false;
            }
            if (!TakeValue(args, i, "--plan needs a plan file (CSV)", value, error)) return false;
            parsed.planPath = value;
        } else if (arg == "--apply" || arg == "--template") {
            bool& flag = arg == "--apply" ? parsed.apply : parsed.planTemplate;
            if (flag) {
                error = arg + " given twice";
                return false;
            }
            flag = true;
        } else {
            error = "unknown argument '" + arg + "'";
            return false;
        }
    }
    if (parsed.apply && !parsed.planPath) {
        error = "--apply needs --plan FILE";
        return false;
    }
    if ((parsed.planPath || parsed.planTemplate) && parsed.winkMac) {
        error = "--wink goes with neither --plan nor --template";
        return false;
    }
    if (parsed.planPath && parsed.planTemplate) {
        error = "--plan and --template exclude each other";
        return false;
    }
    if (parsed.planTemplate && outputGiven) {
        error = "--template prints CSV; it takes neither --json nor --csv";
        return false;
    }
    out = parsed;
    return true;
}

const char* ScanUsageText() {
    return "usage: pelmora-scan [--json | --csv] [--to ADDRESS] [--wink MAC]\n"
           "       pelmora-scan --template [--to ADDRESS]\n"
           "       pelmora-scan --plan FILE [--apply] [--json | --csv] [--to ADDRESS]\n"
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
           "  --template    print a plan to start from: CSV with \"Unit\" and every setting of every BACnet\n"
           "                device found, as the edit dialog shows them\n"
           "  --plan FILE   scan, check the plan (CSV: \"Unit\" and the settings' columns) and preview, per\n"
           "                plan row, the settings that change (now -> planned); sends nothing\n"
           "  --apply       with --plan: write every changing device (at most 8 at once), wait for the\n"
           "                restart (20 s, 35 s when a device goes to DHCP), scan to verify (up to 3 scans,\n"
           "                5 s apart) and report per row: confirmed, differs, not seen, unchanged, not found\n"
           "  --help        print this text\n"
           "Exit status: 0 on success, 1 when the scan cannot run, the MAC did not answer, or a planned device\n"
           "is not confirmed; 2 for a bad argument or a plan with problems (then nothing is sent).\n";
}

}  // namespace pelmora
