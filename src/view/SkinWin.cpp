#include "view/SkinWin.h"

#include "win/Resources.h"

namespace snipora {

HBITMAP Skin::GetSkin() {
    if (!loaded_) {
        loaded_ = true;
        bitmap_ = win::LoadBitmapResource(module_, name_);
    }
    return bitmap_.Get();
}

}  // namespace snipora
