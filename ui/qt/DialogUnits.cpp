#include "ui/qt/DialogUnits.h"

#include <QtGui/QFont>
#include <QtGui/QFontMetrics>

#include <algorithm>
#include <cstdint>

namespace pelmora {

namespace {

// value * numerator / denominator rounded half away from zero, as MulDiv does.
int MulDiv(int value, int numerator, int denominator) {
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded = product >= 0 ? (product + half) / denominator : (product - half) / denominator;
    return static_cast<int>(rounded);
}

}  // namespace

DialogUnits::DialogUnits(int baseUnitX, int baseUnitY)
    : m_baseUnitX(std::max(baseUnitX, 1)), m_baseUnitY(std::max(baseUnitY, 1)) {}

DialogUnits DialogUnits::FromFont(const QFont& font) { return FromMetrics(QFontMetrics(font)); }

DialogUnits DialogUnits::FromMetrics(const QFontMetrics& metrics) {
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The average over 52 letters, rounded to the nearest pixel in the original's integer form.
    const int averageWidth = (width / 26 + 1) / 2;
    return DialogUnits(averageWidth, metrics.height());
}

int DialogUnits::ToPixelsX(int dialogUnits) const { return MulDiv(dialogUnits, m_baseUnitX, 4); }

int DialogUnits::ToPixelsY(int dialogUnits) const { return MulDiv(dialogUnits, m_baseUnitY, 8); }

QRect DialogUnits::ToPixels(const QRect& dialogUnits) const {
    // Map both corners, not the size, so adjacent controls meet exactly as in the template.
    const int left = ToPixelsX(dialogUnits.x());
    const int top = ToPixelsY(dialogUnits.y());
    const int right = ToPixelsX(dialogUnits.x() + dialogUnits.width());
    const int bottom = ToPixelsY(dialogUnits.y() + dialogUnits.height());
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogUnits::ToPixels(const QSize& dialogUnits) const {
    return QSize(ToPixelsX(dialogUnits.width()), ToPixelsY(dialogUnits.height()));
}

}  // namespace pelmora
