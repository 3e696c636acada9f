#pragma once
// Which mark icon a list's cell shows, told from its painted pixels: for the Win32 list's test, which
// reads its own window, and for the window driver, which reads the screen.
#include "platform/Win32Headers_win32.h"

namespace pelmora::test {

// "warning" (the yellow triangle), "information" (the blue disc) or "none", for `area` of `dc`.
inline const char* MarkIconPainted(HDC dc, const RECT& area) {
    int yellow = 0;
    int blue = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF pixel = GetPixel(dc, x, y);
            const int r = GetRValue(pixel);
            const int g = GetGValue(pixel);
            const int b = GetBValue(pixel);
            if (r > 180 && g > 120 && b < 90) ++yellow;
            if (b > 170 && r < 90 && g < 160) ++blue;
        }
    }
    if (yellow > 8) return "warning";
    return blue > 8 ? "information" : "none";
}

}  // namespace pelmora::test
