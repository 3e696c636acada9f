#include "app/CNimbetRawConfigDlg.h"

#include <QtCore/QDate>
#include <QtCore/QDir>
#include <QtGui/QAction>
#include <QtGui/QContextMenuEvent>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

#include <utility>

#include "app/CAboutDlg.h"
#include "app/ColumnWidths.h"
#include "app/WaitCursor.h"
#include "listing/DeviceColumns.h"
#include "listing/RowOutput.h"
#include "listing/RowTexts.h"
#include "resources/ResourceIds.h"
#include "ui/AppIcon.h"
#include "ui/DataExchange.h"
#include "ui/ReportList.h"
#include "ui/StringTable.h"

namespace pelmora {

namespace {

QString ToQString(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

CNimbetRawConfigDlg::CNimbetRawConfigDlg(DeviceNetwork& network, EditDeviceFunction editDevice,
                                         ChooseExportFileFunction chooseExportFile, QWidget* parent)
    : TemplateDialog(IDD_MAIN_DIALOG, parent),
      m_editDevice(std::move(editDevice)),
      m_chooseExportFile(std::move(chooseExportFile)),
      m_hIcon(LoadIcon(IDR_MAINFRAME)),
      m_deviceSet(network) {
    MapCommand(IDC_EDIT_BUTTON, [this] { OnEditButton(); });
    MapCommand(IDC_REFRESH_BUTTON, [this] { OnRefreshButton(); });
    MapCommand(IDC_WINK_BUTTON, [this] { OnWinkButton(); });
    MapCommand(ID_CLEAR_AND_RESCAN, [this] { ClearAndRescan(); });
    MapCommand(ID_RESCAN, [this] { Rescan(); });
}

CNimbetRawConfigDlg::~CNimbetRawConfigDlg() = default;

void CNimbetRawConfigDlg::DoDataExchange(DataExchange& exchange) {
    TemplateDialog::DoDataExchange(exchange);
    exchange.Control(IDC_DEVICE_LIST, m_deviceList);
    exchange.Control(IDC_EDIT_BUTTON, m_editButton);
    exchange.Control(IDC_WINK_BUTTON, m_winkButton);
}

bool CNimbetRawConfigDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    connect(m_deviceList, &ReportList::itemStateChanged, this, [this] { OnListItemChanged(); });
    connect(m_deviceList, &ReportList::rowDoubleClicked, this, [this](int row) { OnListDoubleClick(row); });
    EnableBothButtons(false);

    // Window managers own the window menu, so its About item lives in the window's context menu.
    if (Template().systemMenu) {
        const QString about = LoadString(IDS_ABOUTBOX);
        if (!about.isEmpty()) {
            m_aboutAction = new QAction(about, this);
            m_aboutAction->setShortcut(QKeySequence(Qt::Key_F1));
            m_aboutAction->setShortcutContext(Qt::WindowShortcut);
            connect(m_aboutAction, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
            addAction(m_aboutAction);
        }
    }
    m_exportAction = new QAction(QStringLiteral("Export list..."), this);
    m_exportAction->setEnabled(false);
    connect(m_exportAction, &QAction::triggered, this, [this] { OnExportList(); });
    setWindowIcon(m_hIcon);
    ReadInterfaceTable();
    return true;
}

void CNimbetRawConfigDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    for (QAction* action : {m_aboutAction, m_exportAction})
        if (action != nullptr) menu.addAction(action);
    if (menu.isEmpty()) {
        TemplateDialog::contextMenuEvent(event);
        return;
    }
    menu.exec(event->globalPos());
}

void CNimbetRawConfigDlg::OnExportList() {
    if (m_listing.rows.empty() || !m_chooseExportFile) return;
    const QString path = m_chooseExportFile(this, QDir::home().filePath(ExportFileName(QDate::currentDate())));
    if (path.isEmpty()) return;
    QString reason;
    if (SaveFileWhole(path, FormatCsv(m_listing), reason)) return;
    QMessageBox box(
        QMessageBox::Warning, QStringLiteral("Export list"),
        QStringLiteral("The device list could not be saved to \"%1\": %2").arg(QDir::toNativeSeparators(path), reason),
        QMessageBox::Ok, this);
    box.exec();
}

void CNimbetRawConfigDlg::OnSysCommand(int id) {
    // The low four bits of a system command's ID are the window system's own, so they are cleared
    // before the ID is compared.
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    }
}

int CNimbetRawConfigDlg::ReadInterfaceTable() {
    if (!m_deviceSet.ReadInterfaceTable()) {
        const NormalCursor normal;
        QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(INTERFACE_TABLE_ERROR_CAPTION),
                        QString::fromLatin1(INTERFACE_TABLE_ERROR), QMessageBox::Ok, this);
        box.exec();
        return 0;
    }
    return m_deviceSet.InterfaceCount();
}

void CNimbetRawConfigDlg::Rescan() { ScanDevices(BROADCAST_ADDRESS); }

void CNimbetRawConfigDlg::ClearAndRescan() {
    m_deviceSet.ClearReplies();
    Rescan();
}

void CNimbetRawConfigDlg::ScanDevices(Ipv4Host destination) {
    const WaitCursor wait;
    ReadInterfaceTable();
    if (!m_deviceSet.Scan(destination)) return;
    FillDeviceList();
}

void CNimbetRawConfigDlg::FillDeviceList() {
    m_deviceList->DeleteAllItems();
    m_deviceList->DeleteAllColumns();
    m_listing = ListDevices(m_deviceSet.Store());
    const RowTextList& rows = m_listing.rows;
    // The widths depend on the rows' texts, so the columns are made once those are known.
    const auto widths = DeviceColumnWidths(*m_deviceList, m_listing);
    for (std::size_t column = 0; column < COLUMN_COUNT; ++column) {
        m_deviceList->InsertColumn(static_cast<int>(column), QString::fromLatin1(DEVICE_COLUMNS[column].heading),
                                   widths[column]);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& texts = rows[i];
        const int row = m_deviceList->InsertItem(static_cast<int>(i), ToQString(texts[COL_UNIT]));
        for (const Column column : {COL_IP_ADDRESS, COL_PLA, COL_ELA, COL_REVISION})
            m_deviceList->SetItemText(row, column, ToQString(texts[column]));
        if (HasBacnet(*m_deviceSet.Store().RecordAt(static_cast<long>(i)))) {
            for (const Column column : {COL_BACNET, COL_DEVICE_ID, COL_DEVICE_NAME, COL_LOCATION})
                m_deviceList->SetItemText(row, column, ToQString(texts[column]));
        }
        for (std::size_t column = 0; column < COLUMN_COUNT; ++column) {
            const std::string& warning = m_listing.warnings[i][column];
            if (!warning.empty()) m_deviceList->SetItemWarning(row, static_cast<int>(column), ToQString(warning));
        }
    }
    if (m_exportAction != nullptr) m_exportAction->setEnabled(!rows.empty());
}

void CNimbetRawConfigDlg::OnShowWindow(bool shown) {
    // Read before the base class runs, so the buttons follow the selection the window had when it was
    // shown or hidden, not a change that the default handling's focus move may bring.
    const int selected = m_deviceList->GetSelectedCount();
    TemplateDialog::OnShowWindow(shown);
    if (m_firstScanDone != 0) return;
    SetTimer(FIRST_SCAN_TIMER, FIRST_SCAN_DELAY_MS);
    m_winkButton->setEnabled(selected != 0);
    m_editButton->setEnabled(IsSelectedRowEditable());
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
    EnableBothButtons(false);
    Rescan();
}

void CNimbetRawConfigDlg::OnListItemChanged() { EnableButtonsForSelection(); }

void CNimbetRawConfigDlg::EnableButtonsForSelection() {
    m_winkButton->setEnabled(m_deviceList->GetSelectedCount() != 0);
    m_editButton->setEnabled(IsSelectedRowEditable());
}

bool CNimbetRawConfigDlg::IsSelectedRowEditable() const {
    if (m_deviceList->GetSelectedCount() == 0) return false;
    const int row = m_deviceList->GetFirstSelectedItem();
    if (row < 0) return false;
    return m_deviceList->GetItemText(row, COL_BACNET).compare(QStringLiteral("Yes"), Qt::CaseInsensitive) == 0;
}

void CNimbetRawConfigDlg::EnableButtonsForRecord() {
    const int row = m_deviceList->GetSelectedCount() != 0 ? m_deviceList->GetFirstSelectedItem() : -1;
    EnableBothButtons(row >= 0 && m_deviceSet.Store().RecordAt(row) != nullptr);
}

void CNimbetRawConfigDlg::EnableBothButtons(bool enable) {
    m_winkButton->setEnabled(enable);
    m_editButton->setEnabled(enable);
}

void CNimbetRawConfigDlg::OnEditButton() {
    if (!IsSelectedRowEditable()) return;
    const int row = m_deviceList->GetFirstSelectedItem();
    if (row < 0) return;
    EditRecord(m_deviceSet.Store().RecordAt(row));
}

void CNimbetRawConfigDlg::OnListDoubleClick(int row) {
    if (!IsSelectedRowEditable()) return;
    EditRecord(m_deviceSet.Store().RecordAt(row));
}

void CNimbetRawConfigDlg::EditRecord(DeviceRecord* record) {
    EnableBothButtons(false);
    const bool saved = m_editDevice && m_editDevice(record, &m_deviceSet);
    // A termination signal during the edit or the wait ends this window's run too; the program is then on
    // its way out and must not hold the exit up with a four-second scan.
    if (RunEnded()) return;
    if (saved) {
        m_deviceSet.ClearReplies();
        Rescan();
    } else {
        EnableButtonsForRecord();
    }
}

void CNimbetRawConfigDlg::OnWinkButton() {
    if (m_deviceList->GetSelectedCount() == 0) return;
    const int row = m_deviceList->GetFirstSelectedItem();
    if (row < 0) return;
    const DeviceRecord* record = m_deviceSet.Store().RecordAt(row);
    if (record == nullptr) return;
    m_deviceSet.Wink(MacOf(*record), BROADCAST_ADDRESS);
}

}  // namespace pelmora
