// pelmora-config: finds Pelmora gateway devices on the local network, edits their settings and makes
// them wink.
#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "app/CNimbetRawConfigApp.h"
#include "app/EditWithDialog.h"
#include "app/linux/NetworkManagerDBus.h"
#include "app/linux/SystemAddressPlatform.h"
#include "app/linux/TerminationSignals.h"
#include "helper/NetHelperClient.h"
#include "platform/Clock.h"
#include "platform/HelperChannel_linux.h"
#include "platform/UdpTransport.h"
#include "protocol/SystemDeviceNetwork.h"

int main(int, char** argv) {
    // Before Qt starts its threads. The program itself holds no rights; the helper holds CAP_NET_ADMIN.
    std::string helperError;
    const auto helper = pelmora::NetHelperClient::Start({pelmora::InstalledHelperPath()}, helperError);
    if (!helper)
        std::fprintf(stderr, "pelmora-config: no network helper (%s): no temporary address, no neighbour flush\n",
                     helperError.c_str());

    // The program takes no command line, not even Qt's own options.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    // Wayland compositors match the window to its desktop entry, and so to its name and icon, by this.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.pelmora.ConfigTool"));

    pelmora::UdpTransport transport;
    pelmora::SteadyClock clock;
    pelmora::SystemDeviceNetwork network(transport, clock, helper.get());
    // Where NetworkManager manages the adapter, only an address of its own survives its DHCP time-out.
    pelmora::NetworkManagerDBus networkManager;
    pelmora::SystemAddressPlatform addresses(helper.get(), &networkManager, [](const std::string& note) {
        std::fprintf(stderr, "pelmora-config: %s\n", note.c_str());
    });
    pelmora::CNimbetRawConfigApp app(network, addresses, pelmora::EditWithDialog);
    // SIGINT, SIGTERM and SIGHUP end the program as its close box does, so the address is deleted.
    const pelmora::TerminationSignals signalsEndTheRun;
    // Caught here so that the stack is unwound and the temporary address deleted on the way out.
    try {
        app.InitInstance();
    } catch (const std::bad_alloc&) {
        std::fputs("pelmora-config: out of memory\n", stderr);
        return EXIT_FAILURE;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pelmora-config: %s\n", error.what());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
