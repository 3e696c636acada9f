#pragma once
// pelmora-scan's plan: preview, or apply with the wait, the verifying scans and the report.
#include <memory>
#include <string>

#include "devices/DeviceSet.h"
#include "platform/NetworkAdmin.h"
#include "tools/scan/ScanArguments.h"

namespace pelmora {

constexpr int EXIT_NOT_CONFIRMED = 1;
constexpr int EXIT_BAD_PLAN = 2;

// The plan of arguments.planPath against the devices of the scan already run: the preview, or with
// arguments.apply the writes through network, the wait, the verifying scans and the report. The exit
// status: 0 when the plan can be applied (preview) or every row is confirmed or unchanged, 1 when not,
// 2 for a plan with problems (then nothing is sent).
int RunPlan(const ScanArguments& arguments, DeviceSet& devices, DeviceNetwork& network);

// The neighbour flush for the writes: the network helper on Linux, the program's own rights on Windows.
// Null, with a note saying why, when there is none; the writes then go without the flush.
std::unique_ptr<NetworkAdmin> StartNeighbourAdmin(std::string& note);

}  // namespace pelmora
