// pelmora-scan: one discovery scan from the command line, as the configuration tool runs it, and
// optionally a wink of one of the devices found.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "DeviceNetwork.h"
#include "DiscoveryScan.h"
#include "RowOutput.h"
#include "ScanArguments.h"

namespace {

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

std::string MacText(const pelmora::MacBytes& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%.2X:%.2X:%.2X:%.2X:%.2X:%.2X", unsigned{mac[0]}, unsigned{mac[1]},
                  unsigned{mac[2]}, unsigned{mac[3]}, unsigned{mac[4]}, unsigned{mac[5]});
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pelmora;
    ScanArguments arguments;
    std::string error;
    if (!ParseScanArguments(std::vector<std::string>(argv + 1, argv + argc), arguments, error)) {
        std::fprintf(stderr, "pelmora-scan: %s\n%s", error.c_str(), ScanUsageText());
        return EXIT_USAGE;
    }
    if (arguments.help) {
        std::fputs(ScanUsageText(), stdout);
        return 0;
    }

    SystemDeviceNetwork network;
    const auto table = network.ReadInterfaceTable();
    if (!table) {
        std::fputs("Internal Error: Cannot enumerate network interfaces on this computer.\n", stderr);
        return EXIT_FAILED;
    }
    ReplyStore replies;
    if (!network.Discover(*table, BROADCAST_ADDRESS, replies)) {
        std::fputs("pelmora-scan: cannot create a UDP socket\n", stderr);
        return EXIT_FAILED;
    }
    const auto store = std::make_unique<DeviceStore>();
    RebuildDeviceStore(replies, *store);
    RowTextList rows;
    for (long i = 0; i < static_cast<long>(store->Count()); ++i) rows.push_back(RowTexts(*store->RecordAt(i)));
    const std::string shown = arguments.json ? FormatJson(rows) : FormatTable(rows);
    std::fputs(shown.c_str(), stdout);
    std::fflush(stdout);

    if (arguments.winkMac) {
        std::uint8_t mac[6];
        for (std::size_t i = 0; i < 6; ++i) mac[i] = (*arguments.winkMac)[i];
        const auto found = replies.find(MacKey(mac));
        if (found == replies.end()) {
            std::fprintf(stderr, "pelmora-scan: no device with MAC %s answered the scan; nothing sent\n",
                         MacText(*arguments.winkMac).c_str());
            return EXIT_FAILED;
        }
        network.SendWink(found->second);
        std::fprintf(stderr, "pelmora-scan: wink sent to %s\n", MacText(*arguments.winkMac).c_str());
    }
    return 0;
}
