// The main window's "Apply plan..." on the fake network: the problems of a bad plan with nothing sent,
// and a plan through its preview, writes, wait, verifying scan, the rows' marks and the saved report.
#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QAction>
#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableWidgetItem>

#include "app/PlanDialogs.h"
#include "listing/RowTexts.h"
#include "protocol/MacAddress.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/ui/GuiTestSupport.h"

namespace pelmora::test {
namespace {

class ApplyPlanTest : public MainWindowTest {
protected:
    void WritePlan(const QByteArray& text) {
        ASSERT_TRUE(m_dir.isValid());
        m_planFile = m_dir.filePath("plan.csv").toStdString();
        QFile file(QString::fromStdString(m_planFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QAction* ApplyAction() const { return Window().MenuAction(ID_APPLY_PLAN); }
    static std::vector<std::vector<std::string>> Rows(TemplateDialog& dialog) {
        std::vector<std::vector<std::string>> rows;
        ReportList* list = dialog.List(IDC_PLAN_LIST);
        if (list == nullptr) return rows;
        for (int row = 0; row < list->GetItemCount(); ++row)
            rows.push_back({list->GetItemText(row, 0), list->GetItemText(row, 1), list->GetItemText(row, 2)});
        return rows;
    }
    static std::string Summary(TemplateDialog& dialog) {
        auto* edit = dialog.Window().ControlAs<QLineEdit>(IDC_PLAN_SUMMARY);
        return edit != nullptr ? edit->text().toStdString() : std::string();
    }
    QTemporaryDir m_dir;
};

TEST_F(ApplyPlanTest, TheMenuItemSitsBesideExportList) {
    ShowAndWaitForFirstScan();
    ASSERT_NE(ApplyAction(), nullptr);
    EXPECT_EQ(ApplyAction()->text(), QStringLiteral("Apply plan..."));
    EXPECT_TRUE(ApplyAction()->isEnabled());
}

TEST_F(ApplyPlanTest, AProblemIsShownWithItsLineAndNothingIsSent) {
    ShowAndWaitForFirstScan();
    WritePlan("Unit,Device ID\r\n02:00:00:00:00:01,many\r\n");
    auto box = CallOnNextModal([](QWidget* modal) { CloseModal(modal); });
    ApplyAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->fired; }, 3000));
    EXPECT_EQ(box->title, QStringLiteral("Apply plan"));
    EXPECT_TRUE(box->text.contains(QStringLiteral("nothing was sent"))) << box->text.toStdString();
    EXPECT_TRUE(box->text.contains(QStringLiteral("line 2, column 2 (Device ID)"))) << box->text.toStdString();
    EXPECT_TRUE(m_network.Sends().empty());
    EXPECT_TRUE(m_waits.empty());
}

TEST_F(ApplyPlanTest, APlanIsPreviewedWrittenWaitedForVerifiedAndReported) {
    ShowAndWaitForFirstScan();
    WritePlan("Unit,Device ID\r\n02:00:00:00:00:01,4101\r\n02:00:00:00:00:09,5\r\n");
    m_exportFile = m_dir.filePath("report.csv").toStdString();
    // The device takes the write: after the wait it answers with its new ID.
    m_duringWait = [this] {
        FakeDevice taken;
        taken.deviceId = 4101;
        const ElementList list = ReplyOf(taken);
        m_network.heard.erase(MacKey(list));
        m_network.heard.emplace(MacKey(list), list);
    };
    std::vector<std::vector<std::string>> previewRows;
    std::string previewSummary;
    std::size_t sendsAtPreview = 99;
    std::vector<std::vector<std::string>> resultRows;
    std::string resultSummary;
    std::shared_ptr<const ModalCall> results;
    auto preview = CallOnNextModal([&](QWidget* modal) {
        auto* dialog = DialogOf<CPlanPreviewDlg>(modal);
        ASSERT_NE(dialog, nullptr);
        previewRows = Rows(*dialog);
        previewSummary = Summary(*dialog);
        sendsAtPreview = m_network.Sends().size();
        results = CallOnNextModal([&](QWidget* shown) {
            auto* resultsDialog = DialogOf<CPlanResultsDlg>(shown);
            ASSERT_NE(resultsDialog, nullptr);
            resultRows = Rows(*resultsDialog);
            resultSummary = Summary(*resultsDialog);
            resultsDialog->SendCommand(IDC_SAVE_REPORT);
            resultsDialog->SendCommand(IDCANCEL);
        });
        QTest::mouseClick(dialog->Window().ControlAs<QPushButton>(IDOK), Qt::LeftButton);
    });
    ApplyAction()->trigger();
    ASSERT_TRUE(preview->fired);
    ASSERT_TRUE(results && results->fired);

    EXPECT_EQ(sendsAtPreview, 0u);
    EXPECT_EQ(previewRows, (std::vector<std::vector<std::string>>{
                               {"02:00:00:00:00:01", "changes", "Device ID: 1234 \u2192 4101"},
                               {"02:00:00:00:00:09", "not found", ""},
                           }));
    EXPECT_EQ(previewSummary, "Apply writes 1 device; 1 not found");
    // The single-device write: to the address and by broadcast, each twice.
    EXPECT_EQ(m_network.Sends().size(), 4u);
    EXPECT_EQ(m_waits, (std::vector<int>{20}));
    EXPECT_EQ(resultRows, (std::vector<std::vector<std::string>>{
                              {"02:00:00:00:00:01", "confirmed", "Device ID: 1234 \u2192 4101"},
                              {"02:00:00:00:00:09", "not found", ""},
                          }));
    EXPECT_EQ(resultSummary, "1 of 1 device confirmed; 1 not found");

    ASSERT_EQ(List()->GetItemCount(), 2);
    EXPECT_EQ(List()->item(0, COL_UNIT)->toolTip(), QStringLiteral("confirmed"));
    EXPECT_EQ(List()->item(1, COL_UNIT)->toolTip(), QString());
    EXPECT_EQ(List()->GetItemText(0, COL_DEVICE_ID), "4101");

    QFile report(QString::fromStdString(m_exportFile));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_EQ(report.readAll().toStdString(),
              "Line,Unit,Result,Settings\r\n2,02:00:00:00:00:01,confirmed,Device ID: 1234 \u2192 4101\r\n"
              "3,02:00:00:00:00:09,not found,\r\n");
}

}  // namespace
}  // namespace pelmora::test
