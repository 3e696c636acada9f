#pragma once
// A main window on a fake network, shown, with its controls found by ID and its edit calls recorded.
#include <gtest/gtest.h>

#include <QtGui/QAction>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CNimbetRawConfigDlg.h"
#include "resources/ResourceIds.h"
#include "tests/support/FakeDeviceNetwork.h"
#include "ui/qt/QtDialogWindow.h"
#include "ui/qt/QtReportList.h"

namespace pelmora::test {

struct EditCall {
    std::string unit;  // the record's MAC as the list shows it; empty for no record
    DeviceSet* devices = nullptr;
    bool editEnabled = true;
    bool winkEnabled = true;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the window and waits for its automatic first scan.
    void ShowAndWaitForFirstScan();
    // Waits until the fake has seen `count` scans in all.
    bool WaitForScans(int count, int timeoutMs = 3000);

    QtReportList* List() const { return m_window->Window().ControlAs<QtReportList>(IDC_DEVICE_LIST); }
    QPushButton* Button(int id) const { return m_window->Window().ControlAs<QPushButton>(id); }
    // The main window's Qt window, and its context-menu and window-menu items.
    QtDialogWindow& Window() const { return m_window->Window(); }
    QAction* ExportAction() const { return Window().MenuAction(ID_EXPORT_LIST); }
    QAction* AboutAction() const { return Window().SystemMenuAction(IDM_ABOUTBOX); }
    bool EditEnabled() const { return Button(IDC_EDIT_BUTTON)->isEnabled(); }
    bool WinkEnabled() const { return Button(IDC_WINK_BUTTON)->isEnabled(); }
    QPoint CellCentre(int row, int column) const;
    void ClickRow(int row);
    void DoubleClickRow(int row);
    std::vector<std::string> ColumnTexts(int column) const;
    // Gives the device list the keyboard focus; false if it did not get it.
    bool FocusList();

    FakeDeviceNetwork m_network;
    bool m_editResult = false;
    std::function<void()> m_duringEdit;
    std::vector<EditCall> m_editCalls;
    // What "Export list..." is offered and the file it is given (empty: cancelled).
    std::vector<std::string> m_suggestedExports;
    std::string m_exportFile;
    // The plan file "Apply plan..." is given (empty: cancelled), and the waits it asked for, in seconds;
    // duringWait runs inside each wait.
    std::string m_planFile;
    std::vector<int> m_waits;
    std::function<void()> m_duringWait;
    std::unique_ptr<CNimbetRawConfigDlg> m_window;
};

// Runs `action` on the next popup menu once it is shown, then closes the menu. The flag tells it ran.
std::shared_ptr<const bool> WhenMenuOpens(std::function<void(QMenu*)> action);

// A BACnet device in the PC's subnet and one without BACnet.
ReplyStore TwoDevices();
// A realistic device: MAC 00:50:C2:8F:<last>, station 1:254.
struct ShownDevice {
    std::uint8_t last[2];
    Ipv4Octets ip;
    bool bacnet;
    std::int32_t id;
    const char* name;
    const char* location;
    std::uint32_t revision;
};
ReplyStore RepliesOf(const std::vector<ShownDevice>& devices);
// In MAC order: a factory default that answers as 4001, 4001 given by hand, a unit without duplicates,
// and two devices on one address.
ReplyStore DuplicateDevices();

}  // namespace pelmora::test
