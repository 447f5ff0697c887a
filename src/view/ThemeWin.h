#pragma once

#include <windows.h>

#include "view/Palette.h"

namespace snipora {

inline COLORREF ToColorRef(Colour c) {
    return RGB(c.r, c.g, c.b);
}
inline Colour FromColorRef(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// Windows' app mode: AppsUseLightTheme under the user's Personalize key, 0 for dark. Missing
// (before Windows 10 1809) it is light.
bool AppsUseLightTheme();
// SPI_GETHIGHCONTRAST's HCF_HIGHCONTRASTON.
bool HighContrastOn();
// The system's COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT and COLOR_HIGHLIGHTTEXT, which a
// high contrast theme sets.
SystemColours CurrentSystemColours();
// The palette for `choice` as the system stands now.
Palette CurrentPalette(ThemeChoice choice);

}  // namespace snipora
