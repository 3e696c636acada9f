// pelmora-scan: one discovery scan from the command line, as the configuration tool runs it, and
// optionally a wink of one of the devices found, or a commissioning plan previewed or applied.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "devices/DeviceSet.h"
#include "devices/PlanReport.h"
#include "listing/DeviceListing.h"
#include "listing/RowOutput.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/LibrarySearch.h"
#include "platform/SocketLayer.h"
#include "platform/UdpTransport.h"
#include "protocol/MacAddress.h"
#include "protocol/SystemDeviceNetwork.h"
#include "tools/scan/PlanCommand.h"
#include "tools/scan/ScanArguments.h"

namespace {

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// The listing, a plan to start from, or the plan, from the scan's devices.
int Report(const pelmora::ScanArguments& arguments, pelmora::DeviceSet& devices, pelmora::DeviceNetwork& network) {
    using namespace pelmora;
    if (devices.Replies().size() > DeviceStore::CAPACITY && !arguments.planPath)
        std::fprintf(stderr, "pelmora-scan: %zu devices answered; only the first %zu are listed\n",
                     devices.Replies().size(), DeviceStore::CAPACITY);
    if (arguments.planPath) return RunPlan(arguments, devices, network);
    if (arguments.planTemplate) {
        std::fputs(FormatPlanTemplate(devices.Store()).c_str(), stdout);
        return 0;
    }
    // JSON carries the devices' texts exactly; the table and CSV are read by people.
    const bool json = arguments.output == ScanOutput::Json;
    const DeviceListing listing = ListDevices(devices.Store(), json ? ListedTexts::Exact : ListedTexts::Shown);
    const std::string shown = json                                  ? FormatJson(listing)
                              : arguments.output == ScanOutput::Csv ? FormatCsv(listing)
                                                                    : FormatTable(listing);
    std::fputs(shown.c_str(), stdout);
    std::fflush(stdout);

    if (arguments.winkMac) {
        const MacBytes& mac = *arguments.winkMac;
        if (devices.Replies().count(MacKey(mac)) == 0) {
            std::fprintf(stderr, "pelmora-scan: no device with MAC %s answered the scan; nothing sent\n",
                         MacText(mac).c_str());
            return EXIT_FAILED;
        }
        // A device behind a router hears only the destination the scan reached it by.
        devices.Wink(mac, arguments.destination);
        std::fprintf(stderr, "pelmora-scan: wink sent to %s\n", MacText(mac).c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pelmora;
    // First: on Windows no DLL comes from the program's folder, the delay-loaded IP Helper included.
    LoadLibrariesFromSystemOnly();
    ScanArguments arguments;
    std::string error;
    PrepareStandardOutput();
    if (!ParseScanArguments(CommandLineArguments(argc, argv), arguments, error)) {
        std::fprintf(stderr, "pelmora-scan: %s\n%s", error.c_str(), ScanUsageText());
        return EXIT_USAGE;
    }
    if (arguments.help) {
        std::fputs(ScanUsageText(), stdout);
        return 0;
    }

    const SocketLayer sockets;
    if (!sockets.Started()) {
        std::fputs("pelmora-scan: Windows sockets initialization failed.\n", stderr);
        return EXIT_FAILED;
    }
    std::unique_ptr<NetworkAdmin> admin;
    if (arguments.apply) {
        std::string note;
        admin = StartNeighbourAdmin(note);
        if (!note.empty()) std::fprintf(stderr, "pelmora-scan: %s\n", note.c_str());
    }
    UdpTransport transport;
    SteadyClock clock;
    SystemDeviceNetwork network(transport, clock, admin.get());
    const auto devices = std::make_unique<DeviceSet>(network);
    if (!devices->ReadInterfaceTable()) {
        std::fprintf(stderr, "%s\n", INTERFACE_TABLE_ERROR);
        return EXIT_FAILED;
    }
    if (!devices->Scan(arguments.destination)) {
        std::fputs("pelmora-scan: cannot create a UDP socket\n", stderr);
        return EXIT_FAILED;
    }
    return Report(arguments, *devices, network);
}
