#pragma once

#include <windows.h>

#include <commctrl.h>

#include "win/UniqueGdiObject.h"

namespace snipora {

// Paints the popup tree's entries by hand: category headers from the skin bitmap, history rows
// and notes. Owns the scratch bitmap that each entry is painted into before it goes to the screen.
class ItemDrawing {
public:
    // `skin` stays owned by the settings storage; `dpi` is the screen's horizontal dots per inch.
    ItemDrawing(HBITMAP skin, int dpi);
    ItemDrawing(const ItemDrawing&) = delete;
    ItemDrawing& operator=(const ItemDrawing&) = delete;
    ~ItemDrawing();

    // The tree view's NM_CUSTOMDRAW notification; returns the answer for it.
    LRESULT CustomDraw(NMTVCUSTOMDRAW& draw);

private:
    HBITMAP skin_;
    int dpi_;
    win::UniqueBitmap workBitmap_;
};

}  // namespace snipora
