#pragma once
// The main window, template 102: the device list, Edit..., Refresh and Wink. It owns the device set
// (the reply store, the interface table and the device records the list shows: row i shows record i),
// starts the first scan a quarter of a second after it is first shown, and lends the set to the edit
// dialog. The system menu has About; the list's context menu has "Export list..." and "Apply plan...".
#include <cstdint>
#include <map>
#include <string>

#include "app/EditDeviceFunction.h"
#include "app/ExportList.h"
#include "app/PlanWindowHooks.h"
#include "base/Ipv4.h"
#include "devices/DeviceSet.h"
#include "listing/DeviceListing.h"
#include "protocol/DeviceNetwork.h"
#include "resources/ResourceIds.h"
#include "ui/TemplateDialog.h"

namespace pelmora {

class CPlanResultsDlg;
class PlanVerification;
class ReportList;

class CNimbetRawConfigDlg : public TemplateDialog {
public:
    static constexpr int FIRST_SCAN_TIMER = 0;
    static constexpr int FIRST_SCAN_DELAY_MS = 250;

    CNimbetRawConfigDlg(DeviceNetwork& network, EditDeviceFunction editDevice,
                        ChooseExportFileFunction chooseExportFile = ChooseExportFileWithDialog,
                        PlanWindowHooks planHooks = PlanWindowHooksWithDialogs());
    CNimbetRawConfigDlg(const CNimbetRawConfigDlg&) = delete;
    CNimbetRawConfigDlg& operator=(const CNimbetRawConfigDlg&) = delete;
    CNimbetRawConfigDlg(CNimbetRawConfigDlg&&) = delete;
    CNimbetRawConfigDlg& operator=(CNimbetRawConfigDlg&&) = delete;
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
    bool OnSysCommand(int id) override;

    DeviceSet& Devices() { return m_deviceSet; }
    const DeviceSet& Devices() const { return m_deviceSet; }
    bool FirstScanDone() const { return m_firstScanDone != 0; }
    // The rows as the list shows them, with their duplicate warnings.
    const DeviceListing& Listing() const { return m_listing; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnShowWindow(bool shown) override;
    void OnTimer(int id) override;

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
    // After a write's rescan: the device's mark, or a message when it did not answer.
    void ShowWriteProof(const DeviceSettings& written);
    void OnApplyPlan();
    // The verifying scans after a plan's wait: again every few seconds for the devices not yet seen.
    void VerifyPlan(PlanVerification& verification);
    void SavePlanReport(CPlanResultsDlg& dialog);
    // The device list; null without a window (on Windows, outside DoModal).
    ReportList* DeviceList() const { return List(IDC_DEVICE_LIST); }

    DeviceNetwork& m_network;
    EditDeviceFunction m_editDevice;
    ChooseExportFileFunction m_chooseExportFile;
    PlanWindowHooks m_planHooks;

    std::uint8_t m_firstScanDone = 0;
    DeviceSet m_deviceSet;
    DeviceListing m_listing;
    std::map<std::string, std::string> m_writeMarks;
};

}  // namespace pelmora
