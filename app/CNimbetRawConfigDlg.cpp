#include "app/CNimbetRawConfigDlg.h"

#include <ctime>
#include <utility>
#include <vector>

#include "app/CAboutDlg.h"
#include "app/ColumnWidths.h"
#include "app/WriteProof.h"
#include "devices/PlanReport.h"
#include "listing/DeviceColumns.h"
#include "listing/RowOutput.h"
#include "listing/RowTexts.h"
#include "platform/FileSave.h"
#include "platform/ListSeparator.h"
#include "resources/ResourceIds.h"
#include "ui/Feedback.h"
#include "ui/ReportList.h"

namespace pelmora {

namespace {

std::tm Today() {
    const std::time_t now = std::time(nullptr);
    // NOLINTNEXTLINE(concurrency-mt-unsafe): only the window's thread asks for the local time.
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? *local : std::tm{};
}

}  // namespace

CNimbetRawConfigDlg::CNimbetRawConfigDlg(DeviceNetwork& network, EditDeviceFunction editDevice,
                                         ChooseExportFileFunction chooseExportFile, PlanWindowHooks planHooks)
    : TemplateDialog(IDD_MAIN_DIALOG),
      m_network(network),
      m_editDevice(std::move(editDevice)),
      m_chooseExportFile(std::move(chooseExportFile)),
      m_planHooks(std::move(planHooks)),
      m_deviceSet(network) {
    MapCommand(IDC_EDIT_BUTTON, [this] { OnEditButton(); });
    MapCommand(IDC_REFRESH_BUTTON, [this] { OnRefreshButton(); });
    MapCommand(IDC_WINK_BUTTON, [this] { OnWinkButton(); });
    MapCommand(ID_CLEAR_AND_RESCAN, [this] { ClearAndRescan(); });
    MapCommand(ID_RESCAN, [this] { Rescan(); });
    MapCommand(ID_EXPORT_LIST, [this] { OnExportList(); });
    MapCommand(ID_APPLY_PLAN, [this] { OnApplyPlan(); });
}

CNimbetRawConfigDlg::~CNimbetRawConfigDlg() = default;

bool CNimbetRawConfigDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    if (ReportList* list = DeviceList()) {
        list->OnSelectionChanged([this] { OnListItemChanged(); });
        list->OnDoubleClick([this](int row) { OnListDoubleClick(row); });
    }
    EnableBothButtons(false);
    AppendSystemMenuItem(IDM_ABOUTBOX, ResourceString(IDS_ABOUTBOX));
    AppendContextMenuItem(IDC_DEVICE_LIST, ID_EXPORT_LIST, "Export list...");
    EnableMenuCommand(ID_EXPORT_LIST, false);
    AppendContextMenuItem(IDC_DEVICE_LIST, ID_APPLY_PLAN, "Apply plan...");
    ReadInterfaceTable();
    return true;
}

void CNimbetRawConfigDlg::OnExportList() {
    if (m_listing.rows.empty() || !m_chooseExportFile) return;
    const std::string path = m_chooseExportFile(*this, ExportFileName(Today()));
    if (path.empty()) return;
    std::string reason;
    if (SaveFileWhole(path, ExportFileText(m_listing, UserListSeparator()), reason)) return;
    ShowMessageBox(this, "The device list could not be saved to \"" + path + "\": " + reason, "Export list",
                   MessageKind::Warning);
}

bool CNimbetRawConfigDlg::OnSysCommand(int id) {
    // The low four bits of a system command's ID are the window system's own, so they are cleared
    // before the ID is compared.
    if ((id & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg about;
    about.DoModal();
    return true;
}

int CNimbetRawConfigDlg::ReadInterfaceTable() {
    if (!m_deviceSet.ReadInterfaceTable()) {
        const NormalCursor normal;
        ShowMessageBox(this, INTERFACE_TABLE_ERROR, INTERFACE_TABLE_ERROR_CAPTION, MessageKind::Plain);
        return 0;
    }
    return m_deviceSet.InterfaceCount();
}

void CNimbetRawConfigDlg::Rescan() { ScanDevices(BROADCAST_ADDRESS); }

void CNimbetRawConfigDlg::ClearAndRescan() {
    m_deviceSet.ClearReplies();
    m_writeMarks.clear();
    Rescan();
}

void CNimbetRawConfigDlg::ScanDevices(Ipv4Host destination) {
    const WaitCursor wait;
    ReadInterfaceTable();
    if (!m_deviceSet.Scan(destination)) return;
    FillDeviceList();
}

void CNimbetRawConfigDlg::FillDeviceList() {
    ReportList* list = DeviceList();
    if (list == nullptr) return;
    list->DeleteAllItems();
    list->DeleteAllColumns();
    m_listing = ListDevices(m_deviceSet.Store());
    const RowTextList& rows = m_listing.rows;
    // What the cells show: the duplicate warnings and, in "Unit", the last write's result beside them. A
    // result alone that is "confirmed" is a note, not a warning.
    DeviceListing shown = m_listing;
    std::vector<MarkIcon> unitIcons(rows.size(), MarkIcon::Warning);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto mark = m_writeMarks.find(MacKey(MacOf(*m_deviceSet.Store().RecordAt(static_cast<long>(i)))));
        if (mark == m_writeMarks.end()) continue;
        std::string& unit = shown.warnings[i][COL_UNIT];
        if (unit.empty() && mark->second == ResultText(PlanResult::Confirmed)) unitIcons[i] = MarkIcon::Information;
        unit = unit.empty() ? mark->second : unit + "; " + mark->second;
    }
    // The widths depend on the rows' texts and marks, so the columns are made once those are known.
    const auto widths = DeviceColumnWidths(*list, shown);
    for (std::size_t column = 0; column < COLUMN_COUNT; ++column) {
        list->InsertColumn(static_cast<int>(column), DEVICE_COLUMNS[column].heading, widths[column]);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& texts = rows[i];
        const int row = list->InsertItem(static_cast<int>(i), texts[COL_UNIT]);
        for (const Column column : {COL_IP_ADDRESS, COL_PLA, COL_ELA, COL_REVISION})
            list->SetItemText(row, column, texts[column]);
        if (HasBacnet(*m_deviceSet.Store().RecordAt(static_cast<long>(i)))) {
            for (const Column column : {COL_BACNET, COL_DEVICE_ID, COL_DEVICE_NAME, COL_LOCATION})
                list->SetItemText(row, column, texts[column]);
        }
        for (std::size_t column = 0; column < COLUMN_COUNT; ++column) {
            const std::string& mark = shown.warnings[i][column];
            const MarkIcon icon = column == COL_UNIT ? unitIcons[i] : MarkIcon::Warning;
            if (!mark.empty()) list->SetItemMark(row, static_cast<int>(column), mark, icon);
        }
    }
    EnableMenuCommand(ID_EXPORT_LIST, !rows.empty());
}

void CNimbetRawConfigDlg::OnShowWindow(bool shown) {
    // Read before the base class runs, so the buttons follow the selection the window had when it was
    // shown or hidden, not a change that the default handling's focus move may bring.
    const ReportList* list = DeviceList();
    const int selected = list != nullptr ? list->GetSelectedCount() : 0;
    TemplateDialog::OnShowWindow(shown);
    if (m_firstScanDone != 0) return;
    SetTimer(FIRST_SCAN_TIMER, FIRST_SCAN_DELAY_MS);
    EnableControl(IDC_WINK_BUTTON, selected != 0);
    EnableControl(IDC_EDIT_BUTTON, IsSelectedRowEditable());
}

void CNimbetRawConfigDlg::OnTimer(int id) {
    if (m_firstScanDone == 0) {
        m_firstScanDone = 1;
        KillTimer(FIRST_SCAN_TIMER);
        ClearAndRescan();
    }
    TemplateDialog::OnTimer(id);
}

void CNimbetRawConfigDlg::OnOK() { ClearAndRescan(); }

void CNimbetRawConfigDlg::OnRefreshButton() {
    m_deviceSet.ClearReplies();
    m_writeMarks.clear();
    EnableBothButtons(false);
    Rescan();
}

void CNimbetRawConfigDlg::OnListItemChanged() { EnableButtonsForSelection(); }

void CNimbetRawConfigDlg::EnableButtonsForSelection() {
    const ReportList* list = DeviceList();
    EnableControl(IDC_WINK_BUTTON, list != nullptr && list->GetSelectedCount() != 0);
    EnableControl(IDC_EDIT_BUTTON, IsSelectedRowEditable());
}

bool CNimbetRawConfigDlg::IsSelectedRowEditable() const {
    const ReportList* list = DeviceList();
    if (list == nullptr || list->GetSelectedCount() == 0) return false;
    const int row = list->GetFirstSelectedItem();
    if (row < 0) return false;
    const std::string bacnet = list->GetItemText(row, COL_BACNET);
    return bacnet.size() == 3 && (bacnet[0] | 0x20) == 'y' && (bacnet[1] | 0x20) == 'e' && (bacnet[2] | 0x20) == 's';
}

void CNimbetRawConfigDlg::EnableButtonsForRecord() {
    const ReportList* list = DeviceList();
    const int row = list != nullptr && list->GetSelectedCount() != 0 ? list->GetFirstSelectedItem() : -1;
    EnableBothButtons(row >= 0 && m_deviceSet.Store().RecordAt(row) != nullptr);
}

void CNimbetRawConfigDlg::EnableBothButtons(bool enable) {
    EnableControl(IDC_WINK_BUTTON, enable);
    EnableControl(IDC_EDIT_BUTTON, enable);
}

void CNimbetRawConfigDlg::OnEditButton() {
    if (!IsSelectedRowEditable()) return;
    const int row = DeviceList()->GetFirstSelectedItem();
    if (row < 0) return;
    EditRecord(m_deviceSet.Store().RecordAt(row));
}

void CNimbetRawConfigDlg::OnListDoubleClick(int row) {
    if (!IsSelectedRowEditable()) return;
    EditRecord(m_deviceSet.Store().RecordAt(row));
}

void CNimbetRawConfigDlg::EditRecord(DeviceRecord* record) {
    EnableBothButtons(false);
    m_deviceSet.TakeLastWrite();
    const bool saved = m_editDevice && m_editDevice(record, &m_deviceSet);
    // A termination signal during the edit or the wait ends this window's run too; the program is then on
    // its way out and must not hold the exit up with a four-second scan.
    if (RunEnded()) return;
    if (saved) {
        m_deviceSet.ClearReplies();
        m_writeMarks.clear();
        const std::optional<DeviceSettings> written = m_deviceSet.TakeLastWrite();
        Rescan();
        if (written) ShowWriteProof(*written);
    } else {
        EnableButtonsForRecord();
    }
}

void CNimbetRawConfigDlg::ShowWriteProof(const DeviceSettings& written) {
    const std::optional<DeviceRecord> seen = SeenRecord(m_deviceSet.Replies(), written.mac);
    if (!seen) {
        ShowMessageBox(this, NotSeenText(written), "Edit device", MessageKind::Warning);
        return;
    }
    m_writeMarks[MacKey(written.mac)] = WriteMark(written, *seen);
    FillDeviceList();
}

void CNimbetRawConfigDlg::OnWinkButton() {
    const ReportList* list = DeviceList();
    if (list == nullptr || list->GetSelectedCount() == 0) return;
    const int row = list->GetFirstSelectedItem();
    if (row < 0) return;
    const DeviceRecord* record = m_deviceSet.Store().RecordAt(row);
    if (record == nullptr) return;
    m_deviceSet.Wink(MacOf(*record), BROADCAST_ADDRESS);
}

}  // namespace pelmora
