#include "view/ItemDrawingWin.h"

namespace snipora {

ItemDrawing::ItemDrawing(HBITMAP skin, int dpi) : skin_(skin), dpi_(dpi) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 20;
    info.bmiHeader.biHeight = MulDiv(39, dpi_, 96) + 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    workBitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

ItemDrawing::~ItemDrawing() = default;

LRESULT ItemDrawing::CustomDraw(NMTVCUSTOMDRAW&) {
    return CDRF_DODEFAULT;
}

}  // namespace snipora
