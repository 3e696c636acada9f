// pelmora-scan: one discovery scan from the command line, as the configuration tool runs it, and
// optionally a wink of one of the devices found.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "listing/DeviceListing.h"
#include "listing/RowOutput.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/SocketLayer.h"
#include "platform/UdpTransport.h"
#include "protocol/DeviceStore.h"
#include "protocol/DiscoveryScan.h"
#include "protocol/MacAddress.h"
#include "protocol/SystemDeviceNetwork.h"
#include "protocol/Wink.h"
#include "tools/scan/ScanArguments.h"

namespace {

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

}  // namespace

int main(int argc, char** argv) {
    using namespace pelmora;
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
        std::fputs("pelmora-scan: cannot start the socket layer\n", stderr);
        return EXIT_FAILED;
    }
    UdpTransport transport;
    SteadyClock clock;
    SystemDeviceNetwork network(transport, clock);
    const auto table = network.ReadInterfaceTable();
    if (!table) {
        std::fprintf(stderr, "%s\n", INTERFACE_TABLE_ERROR);
        return EXIT_FAILED;
    }
    ReplyStore replies;
    if (!network.Discover(*table, arguments.destination, replies)) {
        std::fputs("pelmora-scan: cannot create a UDP socket\n", stderr);
        return EXIT_FAILED;
    }
    const auto store = std::make_unique<DeviceStore>();
    RebuildDeviceStore(replies, *store);
    const DeviceListing listing = ListDevices(*store);
    const std::string shown = arguments.output == ScanOutput::Json  ? FormatJson(listing)
                              : arguments.output == ScanOutput::Csv ? FormatCsv(listing)
                                                                    : FormatTable(listing);
    std::fputs(shown.c_str(), stdout);
    std::fflush(stdout);

    if (arguments.winkMac) {
        const MacBytes& mac = *arguments.winkMac;
        const auto found = replies.find(MacKey(mac));
        if (found == replies.end()) {
            std::fprintf(stderr, "pelmora-scan: no device with MAC %s answered the scan; nothing sent\n",
                         MacText(mac).c_str());
            return EXIT_FAILED;
        }
        // A device behind a router hears only the destination the scan reached it by.
        SendWink(transport, clock, found->second, arguments.destination);
        std::fprintf(stderr, "pelmora-scan: wink sent to %s\n", MacText(mac).c_str());
    }
    return 0;
}
