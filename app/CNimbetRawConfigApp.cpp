#include "app/CNimbetRawConfigApp.h"

#include <utility>

#include "app/CNimbetRawConfigDlg.h"
#include "app/TemporaryAddress.h"
#include "platform/UdpSocket.h"
#include "resources/ResourceIds.h"
#include "ui/Feedback.h"

namespace pelmora {

CNimbetRawConfigApp::CNimbetRawConfigApp(DeviceNetwork& network, AddressPlatform& addresses,
                                         EditDeviceFunction editDevice)
    : m_network(network), m_addresses(addresses), m_editDevice(std::move(editDevice)) {}

CNimbetRawConfigApp::~CNimbetRawConfigApp() = default;

bool CNimbetRawConfigApp::StartSockets() { return UdpSocket::Create().has_value(); }

int CNimbetRawConfigApp::RunMainWindow(CNimbetRawConfigDlg& window) { return window.DoModal(); }

bool CNimbetRawConfigApp::InitInstance() {
    if (!StartSockets()) {
        ShowMessageBox(nullptr, ResourceString(IDS_SOCKETS_INIT_FAILED), {}, MessageKind::Warning);
        return false;
    }
    CNimbetRawConfigDlg window(m_network, m_editDevice);
    // Declared after the window, so it goes first, on an exception too.
    TemporaryAddress address(m_addresses);
    m_pMainWnd = &window;
    m_address = &address;
    try {
        RunMainWindow(window);
    } catch (...) {
        m_pMainWnd = nullptr;
        m_address = nullptr;
        throw;
    }
    m_pMainWnd = nullptr;
    m_address = nullptr;
    return false;
}

void CNimbetRawConfigApp::DeleteTemporaryAddress() {
    if (m_address != nullptr) m_address->Delete();
}

}  // namespace pelmora
