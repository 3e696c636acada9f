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
};

// False, with error set, for an unknown option, a missing or malformed value, an option given twice, or
// --json with --csv.
bool ParseScanArguments(const std::vector<std::string>& args, ScanArguments& out, std::string& error);

const char* ScanUsageText();

}  // namespace pelmora
