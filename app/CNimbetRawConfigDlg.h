#pragma once
// The main window, template 102: the device list, Edit..., Refresh and Wink. It owns the device set
// (the reply store, the interface table and the device records the list shows: row i shows record i),
// starts the first scan a quarter of a second after it is first shown, and lends the set to the edit
// dialog.
#include <cstdint>

#include <QtGui/QIcon>

#include "app/EditDeviceFunction.h"
#include "app/ExportList.h"
#include "base/Ipv4.h"
#include "devices/DeviceSet.h"
#include "listing/DeviceListing.h"
#include "protocol/DeviceNetwork.h"
#include "ui/TemplateDialog.h"

class QAction;
class QPushButton;

namespace pelmora {

class ReportList;

class CNimbetRawConfigDlg : public TemplateDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CNimbetRawConfigDlg)

public:
    static constexpr int FIRST_SCAN_TIMER = 0;
    static constexpr int FIRST_SCAN_DELAY_MS = 250;

    CNimbetRawConfigDlg(DeviceNetwork& network, EditDeviceFunction editDevice,
                        ChooseExportFileFunction chooseExportFile = ChooseExportFileWithDialog,
                        QWidget* parent = nullptr);
    ~CNimbetRawConfigDlg() override;

    // Re-reads the interface table; its row count, 0 (after a message box) when it cannot be read.
    int ReadInterfaceTable();
    // A scan to 255.255.255.255 under the wait cursor; the stored replies are not forgotten first.
    void Rescan();
    void ClearAndRescan();
    // The scan and the rebuilt list, see DeviceSet::Scan.
    void ScanDevices(Ipv4Host destination);

    bool IsSelectedRowEditable() const;
    void EnableButtonsForRecord();

    // System commands; IDM_ABOUTBOX opens the About box.
    void OnSysCommand(int id);

    DeviceSet& Devices() { return m_deviceSet; }
    const DeviceSet& Devices() const { return m_deviceSet; }
    bool FirstScanDone() const { return m_firstScanDone != 0; }
    // The window menu's About item (also F1); null before the window was first shown.
    QAction* AboutAction() const { return m_aboutAction; }
    // The window menu's "Export list...", enabled while the list has rows.
    QAction* ExportAction() const { return m_exportAction; }
    // The rows as the list shows them, with their duplicate warnings.
    const DeviceListing& Listing() const { return m_listing; }

protected:
    void DoDataExchange(DataExchange& exchange) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnShowWindow(bool shown) override;
    void OnTimer(int id) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnRefreshButton();
    void OnEditButton();
    void OnWinkButton();
    void OnListItemChanged();
    void OnListDoubleClick(int row);
    void EnableButtonsForSelection();
    void EnableBothButtons(bool enable);
    void EditRecord(DeviceRecord* record);
    void FillDeviceList();
    void OnExportList();

    EditDeviceFunction m_editDevice;
    ChooseExportFileFunction m_chooseExportFile;

    std::uint8_t m_firstScanDone = 0;
    QIcon m_hIcon;
    DeviceSet m_deviceSet;
    DeviceListing m_listing;
    ReportList* m_deviceList = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_winkButton = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_exportAction = nullptr;
};

}  // namespace pelmora
