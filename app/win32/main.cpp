// pelmora-config.exe: finds Pelmora gateway devices on the local network, edits their settings and makes
// them wink. The Windows program: Win32 dialogs, and the temporary address added with the user's own
// rights (administrator or "Network Configuration Operators"); without them the add fails silently.
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "app/AdminAddressPlatform.h"
#include "app/CNimbetRawConfigApp.h"
#include "app/EditWithDialog.h"
#include "platform/Clock.h"
#include "platform/LibrarySearch.h"
#include "platform/LocalNetworkAdmin_win32.h"
#include "platform/SocketLayer.h"
#include "platform/TemporaryAddressRecord_win32.h"
#include "platform/UdpTransport.h"
#include "protocol/SystemDeviceNetwork.h"
#include "ui/Feedback.h"
#include "ui/win32/SessionEnd.h"

int main() {
    // First: no DLL comes from the program's folder, the delay-loaded IP Helper included.
    pelmora::LoadLibrariesFromSystemOnly();
    // Before the first socket; the application says so when the socket layer does not start.
    const pelmora::SocketLayer sockets;
    pelmora::UdpTransport transport;
    pelmora::SteadyClock clock;
    pelmora::LocalNetworkAdmin admin;
    pelmora::SystemDeviceNetwork network(transport, clock, &admin);
    pelmora::AdminAddressPlatform addresses(admin);
    pelmora::CNimbetRawConfigApp app(network, addresses, pelmora::EditWithDialog);
    // A log-off or shut-down ends the process once its windows have answered WM_ENDSESSION, without the
    // window's run returning: the temporary address is deleted in that answer.
    pelmora::WhenSessionEnds([&app] { app.DeleteTemporaryAddress(); });
    // An address that a run which crashed or was killed left behind, before the adapters are looked at:
    // its adapter then qualifies again.
    pelmora::DeleteAbandonedTemporaryAddresses();
    // Caught here so that the stack is unwound and the temporary address deleted on the way out; a GUI
    // program has no console to say why, so a message box does.
    try {
        app.InitInstance();
    } catch (const std::bad_alloc&) {
        pelmora::ShowMessageBox(nullptr, "Out of memory.", {}, pelmora::MessageKind::Error);
        return EXIT_FAILURE;
    } catch (const std::exception& error) {
        pelmora::ShowMessageBox(nullptr, std::string("Unexpected error: ") + error.what(), {},
                                pelmora::MessageKind::Error);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
