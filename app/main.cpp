// pelmora-config: finds Pelmora gateway devices on the local network, edits their settings and makes
// them wink.
#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

#include "app/CNimbetRawConfigApp.h"
#include "app/EditWithDialog.h"
#include "app/SystemAddressPlatform.h"
#include "platform/Clock.h"
#include "platform/UdpTransport.h"
#include "protocol/SystemDeviceNetwork.h"

int main(int, char** argv) {
    // The program takes no command line, not even Qt's own options.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);

    pelmora::UdpTransport transport;
    pelmora::SteadyClock clock;
    pelmora::SystemDeviceNetwork network(transport, clock);
    pelmora::SystemAddressPlatform addresses;
    pelmora::CNimbetRawConfigApp app(network, addresses, pelmora::EditWithDialog);
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
