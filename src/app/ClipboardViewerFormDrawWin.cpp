// The window's images and the drawing of the tree's entries.
#include "app/ClipboardViewerFormWin.h"
#include "settings/SettingsStorageWin.h"
#include "view/ItemDrawingWin.h"

namespace snipora {

void TClipboardViewerForm::CreateDrawing() {
    auto* skin = static_cast<HBITMAP>(Settings::GetSettingsStorage().GetSkin());
    drawing_ = std::make_unique<ItemDrawing>(skin, dpi_);
}

LRESULT TClipboardViewerForm::ItemsTreeCustomDrawItem(NMTVCUSTOMDRAW& draw) {
    return drawing_ != nullptr ? drawing_->CustomDraw(draw) : CDRF_DODEFAULT;
}

HICON TClipboardViewerForm::ProgramIcon() {
    return ::LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace snipora
