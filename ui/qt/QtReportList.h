#pragma once
// The Qt back end's report list: a table widget with grid lines, whole-row single selection and no
// sorting, whose selection looks the same with or without focus. See ReportList.
#include "ui/ReportList.h"

#include <QtWidgets/QTableWidget>

namespace pelmora {

class QtReportList : public QTableWidget, public ReportList {
    Q_OBJECT

public:
    explicit QtReportList(QWidget* parent = nullptr);

    int InsertColumn(int column, const std::string& heading, int widthPixels) override;
    bool DeleteColumn(int column) override;
    int HeaderItemCount() const override;
    int GetColumnWidth(int column) const override;
    int GetColumnScreenWidth(int column) const override;
    double ColumnScale() const override;
    std::string GetColumnHeading(int column) const override;
    int CellWidthFor(const std::string& text, bool withMarkIcon) const override;

    int InsertItem(int row, const std::string& text) override;
    bool SetItemText(int row, int column, const std::string& utf8) override;
    std::string GetItemText(int row, int column) const override;
    bool SetItemMark(int row, int column, const std::string& utf8, MarkIcon icon) override;
    std::string GetItemWarning(int row, int column) const override;
    MarkIcon GetItemMarkIcon(int row, int column) const override;
    int GetItemCount() const override;
    bool DeleteAllItems() override;

    int GetSelectedCount() const override;
    int GetFirstSelectedItem() const override;
    void SelectItem(int row) override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Where a marked cell keeps its MarkIcon.
    static constexpr int MARK_ICON_ROLE = Qt::UserRole + 1;
    void ApplyRowHeight();
    void ApplyColumnWidths();

    bool m_deletingRows = false;
};

}  // namespace pelmora
