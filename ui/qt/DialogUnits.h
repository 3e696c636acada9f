#pragma once
// Dialog units: a horizontal unit is a quarter of the font's average character width, a vertical
// unit an eighth of its character height, so a template keeps its proportions with any font or DPI.
#include <QtCore/QRect>
#include <QtCore/QSize>

class QFont;
class QFontMetrics;

namespace pelmora {

class DialogUnits {
public:
    DialogUnits(int baseUnitX, int baseUnitY);
    // Base units measured the way the original dialog manager does, from the given font.
    static DialogUnits FromFont(const QFont& font);
    static DialogUnits FromMetrics(const QFontMetrics& metrics);

    int BaseUnitX() const { return m_baseUnitX; }
    int BaseUnitY() const { return m_baseUnitY; }

    int ToPixelsX(int dialogUnits) const;
    int ToPixelsY(int dialogUnits) const;
    QRect ToPixels(const QRect& dialogUnits) const;
    QSize ToPixels(const QSize& dialogUnits) const;

private:
    int m_baseUnitX;
    int m_baseUnitY;
};

}  // namespace pelmora
