#pragma once
// The command line of pelmora-scan.
#include <optional>
#include <string>
#include <vector>

#include "protocol/MacAddress.h"

namespace pelmora {

struct ScanArguments {
    bool help = false;
    bool json = false;
    std::optional<MacBytes> winkMac;
};

// False, with error set, for an unknown option, a missing or malformed value, or an option given twice.
bool ParseScanArguments(const std::vector<std::string>& args, ScanArguments& out, std::string& error);

const char* ScanUsageText();

}  // namespace pelmora
