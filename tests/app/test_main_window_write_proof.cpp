// The main window after an edit's write and rescan: the edited row's mark in its "Unit" cell, read as a
// screen reader reads it, until the next Refresh; and the message for a device that did not answer.
#include <gtest/gtest.h>

#include <QtGui/QAccessible>
#include <QtTest/QTest>
#include <QtWidgets/QTableWidgetItem>

#include "devices/DeviceSettings.h"
#include "listing/RowTexts.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/ui/GuiTestSupport.h"

namespace pelmora::test {
namespace {

class WriteProofTest : public MainWindowTest {
protected:
    // Edits row 0 with the settings `change` makes of its record, written to the fake network.
    void EditRowZero(const std::function<void(DeviceSettings&)>& change) {
        ShowAndWaitForFirstScan();
        List()->SelectItem(0);
        m_editResult = true;
        m_duringEdit = [this, change] {
            DeviceSettings settings = SettingsFromRecord(*m_window->Devices().Store().RecordAt(0));
            change(settings);
            m_window->Devices().Write(settings);
        };
        QTest::mouseClick(Button(IDC_EDIT_BUTTON), Qt::LeftButton);
        ASSERT_EQ(m_editCalls.size(), 1u);
    }
    // The "Unit" cell's mark: its tooltip, what a screen reader reads as its description, and its icon.
    struct Mark {
        QString tooltip;
        QString spoken;
        std::string icon = "none";
    };
    Mark UnitMark(int row) const {
        Mark mark;
        const QTableWidgetItem* cell = List()->item(row, COL_UNIT);
        if (cell == nullptr) return mark;
        mark.tooltip = cell->toolTip();
        if (!cell->icon().isNull())
            mark.icon = List()->GetItemMarkIcon(row, COL_UNIT) == MarkIcon::Information ? "information" : "warning";
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
        if (list != nullptr && list->tableInterface() != nullptr) {
            if (QAccessibleInterface* spoken = list->tableInterface()->cellAt(row, COL_UNIT))
                mark.spoken = spoken->text(QAccessible::Description);
        }
        return mark;
    }
};

TEST_F(WriteProofTest, AnUnchangedSaveMarksTheEditedRowConfirmedAndNoOtherUntilRefresh) {
    EditRowZero([](DeviceSettings&) {});
    ASSERT_EQ(List()->GetItemCount(), 2);
    ASSERT_FALSE(m_network.Sends().empty());
    const Mark edited = UnitMark(0);
    EXPECT_EQ(edited.tooltip, QStringLiteral("confirmed"));
    EXPECT_EQ(edited.spoken, QStringLiteral("confirmed"));
    EXPECT_EQ(edited.icon, "information") << "a confirmed write is no warning";
    const Mark other = UnitMark(1);
    EXPECT_EQ(other.tooltip, QString());
    EXPECT_EQ(other.spoken, QString());
    EXPECT_EQ(other.icon, "none");
    EXPECT_EQ(List()->GetItemText(0, COL_UNIT), "02:00:00:00:00:01");
    EXPECT_GE(List()->GetColumnScreenWidth(COL_UNIT), List()->CellWidthFor("02:00:00:00:00:01", true))
        << "the column leaves the MAC room beside the mark's icon";

    QTest::mouseClick(Button(IDC_REFRESH_BUTTON), Qt::LeftButton);
    ASSERT_EQ(List()->GetItemCount(), 2);
    EXPECT_EQ(UnitMark(0).tooltip, QString());
    EXPECT_EQ(UnitMark(0).icon, "none");
}

TEST_F(WriteProofTest, ADeviceThatKeepsItsOldSettingsIsMarkedDiffersWithTheSettingsNamed) {
    // The fake keeps answering as before: device ID 1234, name "AHU 1".
    EditRowZero([](DeviceSettings& settings) {
        settings.deviceId = 4101;
        settings.name = "AHU 2";
    });
    ASSERT_EQ(List()->GetItemCount(), 2);
    EXPECT_EQ(UnitMark(0).tooltip, QStringLiteral("differs: Device ID, Device Name"));
    EXPECT_EQ(UnitMark(0).spoken, QStringLiteral("differs: Device ID, Device Name"));
    EXPECT_EQ(UnitMark(0).icon, "warning");
    EXPECT_EQ(UnitMark(1).tooltip, QString());
}

TEST_F(WriteProofTest, ADeviceNotSeenAfterTheWriteHasNoRowAndAMessageNamesIt) {
    auto box = CallOnNextModal([](QWidget* modal) { CloseModal(modal); });
    EditRowZero([this](DeviceSettings& settings) {
        settings.address = ToHost(Ipv4Octets{{192, 168, 10, 21}});
        ReplyStore silent = m_network.heard;
        silent.erase(silent.begin());
        m_network.heard = silent;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->fired; }, 3000));
    EXPECT_EQ(box->title, QStringLiteral("Edit device"));
    EXPECT_EQ(box->text, QStringLiteral("The device 02:00:00:00:00:01 was not seen after the write to 192.168.10.21."));
    ASSERT_EQ(List()->GetItemCount(), 1);
    EXPECT_EQ(List()->GetItemText(0, COL_UNIT), "02:00:00:00:00:02");
    EXPECT_EQ(UnitMark(0).tooltip, QString());
}

}  // namespace
}  // namespace pelmora::test
