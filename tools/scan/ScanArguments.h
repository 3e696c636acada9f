#pragma once
// The command line of pelmora-scan.
#include <optional>
#include <string>
#include <vector>

#include "base/Ipv4.h"
#include "protocol/MacAddress.h"

namespace pelmora {

enum class ScanOutput { Table, Json, Csv };

struct ScanArguments {
    bool help = false;
    ScanOutput output = ScanOutput::Table;
    std::optional<MacBytes> winkMac;
    Ipv4Host destination = BROADCAST_ADDRESS;  // where the request (and the wink) goes
    std::optional<std::string> planPath;       // preview (or with apply, carry out) this plan
    bool apply = false;
    bool planTemplate = false;  // print a plan to start from instead of the list
};

// False, with error set, for an unknown option, a missing or malformed value, an option given twice,
// --json with --csv, --apply without --plan, or --plan or --template with --wink or with each other.
bool ParseScanArguments(const std::vector<std::string>& args, ScanArguments& out, std::string& error);

const char* ScanUsageText();

}  // namespace pelmora
