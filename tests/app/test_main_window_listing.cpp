// The main window's duplicate warnings and "Export list...": the warned cells, the exported file read back
// with the tests' own CSV reader, and failed writes that leave nothing half-written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtGui/QAccessible>
#include <QtGui/QAction>
#include <QtTest/QTest>

#include "app/ExportList.h"
#include "listing/RowTexts.h"
#include "protocol/MacAddress.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/CsvReader.h"
#include "tests/ui/GuiTestSupport.h"

namespace pelmora::test {
namespace {

TEST_F(MainWindowTest, DuplicateCellsCarryAWarningIconTooltipAndDescriptionTheirTextsUnchanged) {
    m_network.heard = DuplicateDevices();
    ShowAndWaitForFirstScan();
    ASSERT_EQ(List()->GetItemCount(), 5);
    const std::map<std::pair<int, int>, QString> expected = {
        {{0, COL_DEVICE_ID}, "Device ID 4001 is also used by 00:50:C2:8F:10:01"},
        {{1, COL_DEVICE_ID}, "Device ID 4001 is also used by 00:50:C2:8F:0F:A1"},
        {{3, COL_IP_ADDRESS}, "IP address 192.168.92.40 is also used by 00:50:C2:8F:13:02"},
        {{4, COL_IP_ADDRESS}, "IP address 192.168.92.40 is also used by 00:50:C2:8F:11:20"},
    };
    // The first unit is factory-fresh: it shows the number it answers with, 0x0FA1 from its MAC.
    const std::vector<std::vector<std::string>> texts = {
        {"00:50:C2:8F:0F:A1", "192.168.92.21", "Yes", "(4001)", "Unit 0004001", "1", "254", "", "2.1-3-18"},
        {"00:50:C2:8F:10:01", "192.168.92.20", "Yes", "4001", "AHU-1 Supply", "1", "254", "Roof", "2.1-3-18"},
        {"00:50:C2:8F:10:02", "192.168.92.22", "Yes", "4002", "AHU-2", "1", "254", "Plant", "2.1-3-18"},
        {"00:50:C2:8F:11:20", "192.168.92.40", "Yes", "4100", "Boiler house", "1", "254", "Basement", "2.1-3-18"},
        {"00:50:C2:8F:13:02", "192.168.92.40", "", "", "", "1", "254", "", "2.1-3-18"},
    };
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
    ASSERT_TRUE(list && list->tableInterface());
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < static_cast<int>(COLUMN_COUNT); ++column) {
            const auto found = expected.find({row, column});
            const QString warning = found == expected.end() ? QString() : found->second;
            const QTableWidgetItem* cell = List()->item(row, column);
            const QString text = cell != nullptr ? cell->text() : QString();
            EXPECT_EQ(text.toStdString(), texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)])
                << row << "," << column;
            EXPECT_EQ(cell != nullptr && !cell->icon().isNull(), !warning.isEmpty()) << row << "," << column;
            EXPECT_EQ(cell != nullptr ? cell->toolTip() : QString(), warning) << row << "," << column;
            QAccessibleInterface* spoken = list->tableInterface()->cellAt(row, column);
            ASSERT_NE(spoken, nullptr);
            EXPECT_EQ(spoken->text(QAccessible::Name), text);
            EXPECT_EQ(spoken->text(QAccessible::Description), warning) << row << "," << column;
        }
    }
}

TEST_F(MainWindowTest, ExportWritesTheRowsAsShownToTheChosenFile) {
    m_network.heard.clear();
    ShowAndWaitForFirstScan();
    ASSERT_NE(ExportAction(), nullptr);
    EXPECT_FALSE(ExportAction()->isEnabled()) << "nothing to export";

    m_network.heard = DuplicateDevices();
    FakeDevice awkward;  // a name that needs quoting; sorts last
    awkward.name = "Say \"hi\", then\r\nleave";
    const ElementList list = ReplyOf(awkward);
    m_network.heard.emplace(MacKey(list), list);
    QTest::mouseClick(Button(IDC_REFRESH_BUTTON), Qt::LeftButton);
    ASSERT_TRUE(ExportAction()->isEnabled());
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    m_exportFile = folder.filePath(QStringLiteral("site.csv")).toStdString();
    ExportAction()->trigger();

    ASSERT_EQ(m_suggestedExports.size(), 1u);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^pelmora-devices-\\d{4}-\\d{2}-\\d{2}\\.csv$"))
                    .match(QString::fromStdString(m_suggestedExports[0]))
                    .hasMatch())
        << m_suggestedExports[0];
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"site.csv"});
    QFile file(QString::fromStdString(m_exportFile));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith(
        "\xEF\xBB\xBFUnit,IP address,BACnet,Device ID,Device Name,PLA,ELA,Location,Revision,Duplicates\r\n"))
        << "a byte-order mark, so that Excel reads UTF-8";
    const auto records = ReadCsv(bytes.mid(3).toStdString());
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 7u);
    const std::vector<std::string> duplicates = {"Device ID", "Device ID", "", "IP address", "IP address", ""};
    for (int row = 0; row < 6; ++row) {
        const auto& fields = (*records)[static_cast<std::size_t>(row) + 1];
        ASSERT_EQ(fields.size(), COLUMN_COUNT + 1);
        for (int column = 0; column < static_cast<int>(COLUMN_COUNT); ++column)
            EXPECT_EQ(fields[static_cast<std::size_t>(column)], List()->GetItemText(row, column));
        EXPECT_EQ(fields[COLUMN_COUNT], duplicates[static_cast<std::size_t>(row)]);
    }

    m_exportFile.clear();
    ExportAction()->trigger();
    EXPECT_EQ(m_suggestedExports.size(), 2u);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "a cancel writes nothing";
}

TEST(ExportFileText, SplitsAtTheUsersListSeparatorWhereTheCellsAreGuardedForIt) {
    const std::pair<std::string, std::string> cases[] = {
        {",", "Unit,IP address,"},    {";", "Unit;IP address;"},
        {"\t", "Unit\tIP address\t"}, {"\xD8\x9B", "Unit,IP address,"},  // the Arabic semicolon of some locales
        {"", "Unit,IP address,"},     {";;", "Unit,IP address,"},
    };
    for (const auto& [separator, start] : cases)
        EXPECT_EQ(ExportFileText(DeviceListing{}, separator).rfind("\xEF\xBB\xBF" + start, 0), 0u) << separator;
}

// Runs fn with this thread's file access as an unprivileged user when it is root: root passes every folder's
// mode, so without this an unwritable folder would not be one.
void AsUnprivileged(const std::function<void()>& fn) {
    const bool root = geteuid() == 0;
    if (root) setfsuid(65534);
    fn();
    if (root) setfsuid(0);
}

// The message box the export shows, closed; its text.
QString ExportAndReadTheMessage(QtDialogWindow& window) {
    auto box = CallOnNextModal([](QWidget* modal) { CloseModal(modal); });
    window.MenuAction(ID_EXPORT_LIST)->trigger();
    return box->fired ? box->text : QStringLiteral("(no message box)");
}

TEST_F(MainWindowTest, AFailedExportSaysWhyAndLeavesNothingUnderTheChosenName) {
    ShowAndWaitForFirstScan();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // A folder without write permission: the write fails before anything is made.
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    m_exportFile = folder.filePath(QStringLiteral("site.csv")).toStdString();
    const QString exportFile = QString::fromStdString(m_exportFile);
    QString message;
    AsUnprivileged([&] { message = ExportAndReadTheMessage(Window()); });
    EXPECT_TRUE(message.contains(exportFile)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("ermission denied"))) << message.toStdString();
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());

    // A write that fails half-way (the file size limit): the file already there keeps its contents.
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    {
        QFile earlier(exportFile);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier\n");
    }
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{20, limit.rlim_max};
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    message = ExportAndReadTheMessage(Window());
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(message.contains(exportFile)) << message.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"site.csv"});
    QFile kept(exportFile);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("earlier\n"));

    // A file the user may not write is not replaced, although its folder would let a rename do it.
    const auto everyone =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder.path(), everyone));
    ASSERT_TRUE(QFile::setPermissions(exportFile, QFile::ReadOwner | QFile::ReadOther));
    AsUnprivileged([&] { message = ExportAndReadTheMessage(Window()); });
    EXPECT_TRUE(message.contains(QStringLiteral("ermission denied"))) << message.toStdString();
    QFile unchanged(exportFile);
    ASSERT_TRUE(unchanged.open(QIODevice::ReadOnly));
    EXPECT_EQ(unchanged.readAll(), QByteArray("earlier\n"));
}

}  // namespace
}  // namespace pelmora::test
