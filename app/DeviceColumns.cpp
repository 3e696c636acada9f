#include "DeviceColumns.h"

#include <QtGui/QFontMetrics>
#include <QtWidgets/QStyle>

#include <algorithm>
#include <cmath>

#include "DeviceRecord.h"
#include "ReportList.h"

namespace pelmora {

namespace {

// The widest of the characters, repeated in the pattern's places of '#'.
QString WidestForm(const QFontMetrics& metrics, const QString& characters, const QString& pattern) {
    QChar widest = characters.front();
    for (const QChar c : characters) {
        if (metrics.horizontalAdvance(c) > metrics.horizontalAdvance(widest)) widest = c;
    }
    QString text = pattern;
    text.replace(QLatin1Char('#'), widest);
    return text;
}

// Screen pixels a cell needs to show the text whole: the style's text margins and the grid line.
int CellWidthFor(const ReportList& list, const QString& text) {
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    return QFontMetrics(list.font()).horizontalAdvance(text) + 2 * margin + (list.showGrid() ? 1 : 0);
}

}  // namespace

int DeviceColumnWidth(const ReportList& list, std::size_t column) {
    const int given = column < COLUMN_COUNT ? DEVICE_COLUMNS[column].width : 0;
    QString longest;
    const QFontMetrics metrics(list.font());
    if (column == COL_UNIT) {
        longest = WidestForm(metrics, QStringLiteral("0123456789ABCDEF"), QStringLiteral("##:##:##:##:##:##"));
    } else if (column == COL_IP_ADDRESS) {
        longest = WidestForm(metrics, QStringLiteral("0123456789"), QStringLiteral("###.###.###.###"));
    } else {
        return given;
    }
    const int needed = static_cast<int>(std::ceil(CellWidthFor(list, longest) / list.ColumnScale()));
    return std::max(given, needed);
}

}  // namespace pelmora
