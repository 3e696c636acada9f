#pragma once
// The mixed site of the plan's end-to-end tests: three factory-fresh devices on one default address,
// one that ignores writes, one that stays silent long after its write, and a planned MAC that is not
// there. Shared by the Linux and the Wine run.
#include <string>

#include "tests/protocol/SimulatorLog.h"

namespace pelmora::test {

// The simulator's device file.
extern const char* const MIXED_SITE_DEVICES;
// The plan, semicolon-separated with a byte-order mark and CRLF, as a European spreadsheet saves it.
extern const char* const MIXED_SITE_PLAN;

// The report (JSON) and the simulator's log after --apply: confirmed x3, differs, not seen, not found,
// and four identical writes with the planned settings for each changing device.
void ExpectMixedSiteApplied(const std::string& reportJson, const LoggedProcess& simulator);

}  // namespace pelmora::test
