// The report list: columns, rows, single full-row selection, and its two notifications.
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/QtReportList.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

const std::pair<const char*, int> COLUMNS[] = {{"Unit", 100},     {"IP address", 90},   {"BACnet", 55},
                                               {"Device ID", 65}, {"Device Name", 100}, {"PLA", 35},
                                               {"ELA", 35},       {"Location", 60},     {"Revision", 55}};

class ReportListTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_list.resize(700, 300);
        for (const auto& [heading, width] : COLUMNS) {
            m_list.InsertColumn(m_list.HeaderItemCount(), heading, width);
        }
    }

    void AddRows(int count) {
        for (int row = 0; row < count; ++row) {
            ASSERT_EQ(m_list.InsertItem(row, "unit " + std::to_string(row)), row);
            m_list.SetItemText(row, 2, row % 2 == 0 ? "Yes" : "");
        }
    }

    QPoint CellCentre(int row, int column) const {
        return m_list.visualRect(m_list.model()->index(row, column)).center();
    }

    QtReportList m_list;
};

TEST_F(ReportListTest, ColumnsAreInsertedCountedAndDeletedFromTheFront) {
    ASSERT_EQ(m_list.HeaderItemCount(), 9);
    for (int column = 0; column < 9; ++column) {
        EXPECT_EQ(m_list.GetColumnHeading(column), COLUMNS[column].first);
        EXPECT_EQ(m_list.GetColumnWidth(column), COLUMNS[column].second);
        EXPECT_EQ(m_list.GetColumnScreenWidth(column), qRound(COLUMNS[column].second * m_list.ColumnScale()));
    }
    EXPECT_EQ(m_list.InsertColumn(11, "beyond", 10), -1);
    EXPECT_EQ(m_list.InsertColumn(-1, "before", 10), -1);
    EXPECT_EQ(m_list.InsertColumn(0, "first", 10), 0);
    EXPECT_EQ(m_list.GetColumnHeading(1), "Unit");

    for (int count = m_list.HeaderItemCount(); count > 0; --count) EXPECT_TRUE(m_list.DeleteColumn(0));
    EXPECT_EQ(m_list.HeaderItemCount(), 0);
    EXPECT_FALSE(m_list.DeleteColumn(0));
    m_list.InsertColumn(0, "again", 40);
    m_list.DeleteAllColumns();
    EXPECT_EQ(m_list.HeaderItemCount(), 0);
}

TEST_F(ReportListTest, ColumnWidthsFollowTheFont) {
    QFont font = m_list.font();
    font.setPixelSize(10);
    m_list.setFont(font);
    const int small = m_list.GetColumnScreenWidth(0);
    font.setPixelSize(20);
    m_list.setFont(font);
    const int large = m_list.GetColumnScreenWidth(0);
    EXPECT_NEAR(large, 2 * small, small / 5);
    EXPECT_EQ(m_list.GetColumnWidth(0), 100) << "the width as given stays readable";
}

TEST_F(ReportListTest, ItemsAreInsertedAppendedSetAndDeleted) {
    EXPECT_EQ(m_list.InsertItem(0, "b"), 0);
    EXPECT_EQ(m_list.InsertItem(0, "a"), 0);
    EXPECT_EQ(m_list.InsertItem(7, "c"), 2) << "beyond the end appends";
    EXPECT_EQ(m_list.InsertItem(-1, "x"), -1);
    EXPECT_EQ(m_list.GetItemCount(), 3);
    EXPECT_EQ(m_list.GetItemText(0, 0), "a");
    EXPECT_EQ(m_list.GetItemText(1, 0), "b");
    EXPECT_TRUE(m_list.SetItemText(1, 8, "2.14"));
    EXPECT_TRUE(m_list.SetItemText(1, 8, "2.15"));
    EXPECT_EQ(m_list.GetItemText(1, 8), "2.15");
    EXPECT_EQ(m_list.GetItemText(1, 3), "") << "cells never set are empty";
    EXPECT_FALSE(m_list.SetItemText(3, 0, "no row"));
    EXPECT_FALSE(m_list.SetItemText(0, 9, "no column"));
    EXPECT_TRUE(m_list.DeleteAllItems());
    EXPECT_EQ(m_list.GetItemCount(), 0);
    EXPECT_EQ(m_list.HeaderItemCount(), 9) << "columns stay";
}

TEST_F(ReportListTest, OneWholeRowIsSelectedAtATime) {
    AddRows(3);
    EXPECT_EQ(m_list.GetSelectedCount(), 0);
    EXPECT_EQ(m_list.GetFirstSelectedItem(), -1);
    ASSERT_TRUE(test::ShowAndActivate(&m_list));

    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, CellCentre(1, 4));
    EXPECT_EQ(m_list.GetSelectedCount(), 1);
    EXPECT_EQ(m_list.GetFirstSelectedItem(), 1);
    EXPECT_EQ(m_list.selectedItems().size(), 2) << "both cells of row 1 that hold an item";
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, Qt::ControlModifier, CellCentre(2, 0));
    EXPECT_EQ(m_list.GetSelectedCount(), 1);
    EXPECT_EQ(m_list.GetFirstSelectedItem(), 2);
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(0, 0));
    EXPECT_EQ(m_list.GetSelectedCount(), 1);
    EXPECT_EQ(m_list.GetFirstSelectedItem(), 0);

    m_list.SelectItem(2);
    EXPECT_EQ(m_list.GetFirstSelectedItem(), 2);
    m_list.SelectItem(-1);
    EXPECT_EQ(m_list.GetSelectedCount(), 0);
}

TEST_F(ReportListTest, HeaderClicksNeverSort) {
    m_list.InsertItem(0, "b");
    m_list.InsertItem(1, "a");
    ASSERT_TRUE(test::ShowAndActivate(&m_list));
    QHeaderView* header = m_list.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
    EXPECT_EQ(m_list.GetItemText(0, 0), "b");
    EXPECT_EQ(m_list.GetSelectedCount(), 0) << "a header click selects no column";
}

TEST_F(ReportListTest, SelectionChangesAreNotified) {
    AddRows(3);
    int changes = 0;
    m_list.OnSelectionChanged([&changes] { ++changes; });
    m_list.SelectItem(0);
    EXPECT_EQ(changes, 1);
    m_list.SelectItem(2);
    EXPECT_EQ(changes, 2);
    m_list.SelectItem(-1);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(m_list.DeleteAllItems());
    EXPECT_EQ(changes, 3) << "deleting unselected rows changes no selection";

    AddRows(2);
    m_list.SelectItem(1);
    changes = 0;
    EXPECT_TRUE(m_list.DeleteAllItems());
    EXPECT_EQ(changes, 1) << "the selection went with its row";
    EXPECT_EQ(m_list.GetSelectedCount(), 0);
}

TEST_F(ReportListTest, DoubleClicksCarryTheRowOrMinusOne) {
    AddRows(2);
    ASSERT_TRUE(test::ShowAndActivate(&m_list));
    std::vector<int> clicks;
    m_list.OnDoubleClick([&clicks](int row) { clicks.push_back(row); });
    QTest::mouseDClick(m_list.viewport(), Qt::LeftButton, {}, CellCentre(1, 3));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], 1);
    EXPECT_EQ(m_list.GetFirstSelectedItem(), 1) << "the double click selected its row first";

    const QPoint belowTheRows(10, m_list.visualRect(m_list.model()->index(1, 0)).bottom() + 30);
    QTest::mouseDClick(m_list.viewport(), Qt::LeftButton, {}, belowTheRows);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1], -1);
}

}  // namespace
}  // namespace pelmora
