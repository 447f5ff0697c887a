// The window's images and the drawing of the tree's entries.
#include "app/ClipboardViewerFormWin.h"
#include "view/ItemDrawingWin.h"

namespace snipora {

void TClipboardViewerForm::CreateDrawing() {
    drawing_ = std::make_unique<ItemDrawing>(skin_.GetSkin(), dpi_.Value(), palette_);
    drawing_->SetFilter(&filter_);
    // Rows exactly as high as the painted entries, so that none is squeezed and loses its
    // separator line; odd heights too (49 at 120 dots per inch).
    const LONG_PTR style = ::GetWindowLongPtrW(tree_, GWL_STYLE);
    ::SetWindowLongPtrW(tree_, GWL_STYLE, style | TVS_NONEVENHEIGHT);
    TreeView_SetItemHeight(tree_, drawing_->Height());
}

LRESULT TClipboardViewerForm::ItemsTreeCustomDrawItem(NMTVCUSTOMDRAW& draw) {
    return drawing_ != nullptr ? drawing_->CustomDraw(draw) : CDRF_DODEFAULT;
}

// The tray's icon, at the size the notification area shows.
HICON TClipboardViewerForm::ProgramIcon() {
    if (!programIcon_) {
        programIcon_ = LoadProgramIcon(::GetSystemMetrics(SM_CXSMICON));
    }
    return programIcon_ ? programIcon_.Get() : ::LoadIconW(nullptr, IDI_APPLICATION);
}

// The glyph of BtOpenClipboard; null leaves the button its text.
HICON TClipboardViewerForm::OpenClipboardGlyph() {
    if (!buttonGlyph_) {
        buttonGlyph_ = LoadOpenClipboardGlyph(dpi_.Value());
    }
    return buttonGlyph_.Get();
}

}  // namespace snipora
