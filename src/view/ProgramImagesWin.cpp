#include "view/ProgramImagesWin.h"

#include <commctrl.h>

#include <initializer_list>

#include "common/DpiScale.h"
#include "view/ImageIds.h"

namespace snipora {
namespace {

using LoadScaledDown = decltype(&::LoadIconWithScaleDown);

// comctl32 6 is the side-by-side one that the program's manifest asks for, not the one in the
// system folder, so it is looked up among the loaded modules. Older versions lack the function.
LoadScaledDown FindLoadIconWithScaleDown() {
    static const LoadScaledDown function = [] {
        const HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
        return comctl != nullptr ? reinterpret_cast<LoadScaledDown>(reinterpret_cast<void*>(
                                       ::GetProcAddress(comctl, "LoadIconWithScaleDown")))
                                 : nullptr;
    }();
    return function;
}

// The image of that size where the resource keeps one; else a larger one scaled down.
UniqueIcon LoadIconResource(int id, int size) {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    if (const LoadScaledDown load = FindLoadIconWithScaleDown()) {
        HICON icon = nullptr;
        if (SUCCEEDED(load(module, MAKEINTRESOURCEW(id), size, size, &icon)) && icon != nullptr) {
            return UniqueIcon(icon);
        }
    }
    return UniqueIcon(
        static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

UniqueImageList LoadImageList(int size, std::initializer_list<int> ids) {
    UniqueImageList list(
        ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(ids.size()), 0));
    if (!list) {
        return list;
    }
    for (int id : ids) {
        UniqueIcon icon = LoadIconResource(id, size);
        // The list keeps its own copy; a missing image leaves the list short, not misnumbered.
        if (!icon || ::ImageList_AddIcon(list.Get(), icon.Get()) < 0) {
            return UniqueImageList();
        }
    }
    return list;
}

}  // namespace

int SmallImageSize(int dpi) {
    return ScaleDesign(16, dpi);
}

int CategoryImageSize(int dpi) {
    return ScaleDesign(32, dpi);
}

UniqueImageList LoadSmallIcons(int dpi) {
    return LoadImageList(SmallImageSize(dpi), {SNIPORA_ICON_SMALL_CLIPBOARD,
                                               SNIPORA_ICON_SMALL_PAGE, SNIPORA_ICON_SMALL_CLOCK});
}

UniqueImageList LoadCategoriesIcons(int dpi) {
    return LoadImageList(CategoryImageSize(dpi),
                         {SNIPORA_ICON_CATEGORY_HISTORY, SNIPORA_ICON_CATEGORY_NOTES});
}

UniqueIcon LoadProgramIcon(int size) {
    return LoadIconResource(SNIPORA_ICON_PROGRAM, size);
}

UniqueIcon LoadOpenClipboardGlyph(int dpi) {
    return LoadIconResource(SNIPORA_ICON_OPEN_CLIPBOARD, SmallImageSize(dpi));
}

}  // namespace snipora
