#include "app/CNimbetRawConfigApp.h"

#include <QtWidgets/QMessageBox>

#include <utility>

#include "app/CNimbetRawConfigDlg.h"
#include "app/TemporaryAddress.h"
#include "app/TerminationSignals.h"
#include "platform/UdpSocket.h"
#include "resources/ResourceIds.h"
#include "ui/DialogTemplate.h"
#include "ui/StringTable.h"

namespace pelmora {

namespace {

// The main window's title names the program in a message box that comes before the window.
QString ProgramTitle() {
    const auto mainTemplate = LoadDialogTemplate(IDD_MAIN_DIALOG);
    return mainTemplate ? mainTemplate->title : QString();
}

}  // namespace

CNimbetRawConfigApp::CNimbetRawConfigApp(DeviceNetwork& network, AddressPlatform& addresses,
                                         EditDeviceFunction editDevice)
    : m_network(network), m_addresses(addresses), m_editDevice(std::move(editDevice)) {}

CNimbetRawConfigApp::~CNimbetRawConfigApp() = default;

bool CNimbetRawConfigApp::StartSockets() { return UdpSocket::Create().has_value(); }

int CNimbetRawConfigApp::RunMainWindow(CNimbetRawConfigDlg& window) { return window.DoModal(); }

bool CNimbetRawConfigApp::InitInstance() {
    const TerminationSignals signalsEndTheRun;
    if (!StartSockets()) {
        QMessageBox box(QMessageBox::Warning, ProgramTitle(), LoadString(IDS_SOCKETS_INIT_FAILED), QMessageBox::Ok);
        box.exec();
        return false;
    }
    CNimbetRawConfigDlg window(m_network, m_editDevice);
    // Declared after the window, so it goes first, on an exception too.
    const TemporaryAddress address(m_addresses);
    m_pMainWnd = &window;
    try {
        RunMainWindow(window);
    } catch (...) {
        m_pMainWnd = nullptr;
        throw;
    }
    m_pMainWnd = nullptr;
    return false;
}

}  // namespace pelmora
