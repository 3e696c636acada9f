#pragma once
// The application: socket start-up, the main window, the temporary address for the window's run, and
// the end. A termination request ends the window's run like its close box: the program's start-up
// arranges that where the system does not. Takes no command line, reads no configuration, keeps nothing between runs.
#include "app/AddressPlatform.h"
#include "app/EditDeviceFunction.h"
#include "protocol/DeviceNetwork.h"

namespace pelmora {

class CNimbetRawConfigDlg;
class TemplateDialog;
class TemporaryAddress;

class CNimbetRawConfigApp {
public:
    CNimbetRawConfigApp(DeviceNetwork& network, AddressPlatform& addresses, EditDeviceFunction editDevice);
    virtual ~CNimbetRawConfigApp();
    CNimbetRawConfigApp(const CNimbetRawConfigApp&) = delete;
    CNimbetRawConfigApp& operator=(const CNimbetRawConfigApp&) = delete;

    // The whole life of the tool. Always false: nothing is left to run when it returns. An exception
    // from the window's run travels on after the address and then the window are gone.
    bool InitInstance();

    // The main window while it runs; null before and after.
    TemplateDialog* MainWindow() const { return m_pMainWnd; }

    // Deletes the temporary address now, where the process is about to end without the window's run
    // returning (the end of a Windows session). The run goes on without it; outside a run, nothing happens.
    void DeleteTemporaryAddress();

protected:
    // Whether the socket layer works: a UDP socket can be created.
    virtual bool StartSockets();
    // The main window's modal run.
    virtual int RunMainWindow(CNimbetRawConfigDlg& window);

private:
    DeviceNetwork& m_network;
    AddressPlatform& m_addresses;
    EditDeviceFunction m_editDevice;
    TemplateDialog* m_pMainWnd = nullptr;
    TemporaryAddress* m_address = nullptr;
};

}  // namespace pelmora
