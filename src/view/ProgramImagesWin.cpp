#include "view/ProgramImagesWin.h"

#include <commctrl.h>

#include <initializer_list>

#include "common/DpiScale.h"
#include "view/ImageIds.h"
#include "win/Gdi.h"

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

UniqueIcon SilhouetteOf(HICON icon, int size, COLORREF ink) {
    // An image list makes the mask of any icon, with an alpha channel or without.
    UniqueImageList list(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
    win::UniqueBitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
    HDC screen = ::GetDC(nullptr);
    win::UniqueBitmap colour(::CreateCompatibleBitmap(screen, size, size));
    ::ReleaseDC(nullptr, screen);
    win::UniqueMemoryDc maskDc(::CreateCompatibleDC(nullptr));
    win::UniqueMemoryDc colourDc(::CreateCompatibleDC(nullptr));
    if (!list || !mask || !colour || !maskDc || !colourDc ||
        ::ImageList_AddIcon(list.Get(), icon) < 0) {
        return UniqueIcon();
    }
    {
        const win::ScopedSelect heldMask(maskDc.Get(), mask.Get());
        ::PatBlt(maskDc.Get(), 0, 0, size, size, WHITENESS);
        ::ImageList_Draw(list.Get(), 0, maskDc.Get(), 0, 0, ILD_MASK);
        // The ink where the mask is black; black where it is white, so that the screen shows
        // through there.
        const win::ScopedSelect heldColour(colourDc.Get(), colour.Get());
        ::SetDCBrushColor(colourDc.Get(), ink);
        const win::ScopedSelect brush(colourDc.Get(), ::GetStockObject(DC_BRUSH));
        ::PatBlt(colourDc.Get(), 0, 0, size, size, PATCOPY);
        ::SetTextColor(colourDc.Get(), RGB(0, 0, 0));
        ::SetBkColor(colourDc.Get(), RGB(255, 255, 255));
        constexpr DWORD kDestinationAndNotSource = 0x00220326;
        ::BitBlt(colourDc.Get(), 0, 0, size, size, maskDc.Get(), 0, 0, kDestinationAndNotSource);
    }
    ICONINFO info{TRUE, 0, 0, mask.Get(), colour.Get()};
    return UniqueIcon(::CreateIconIndirect(&info));
}

UniqueImageList InkedCopy(HIMAGELIST list, COLORREF ink) {
    int width = 0, height = 0;
    if (list == nullptr || !::ImageList_GetIconSize(list, &width, &height)) {
        return UniqueImageList();
    }
    const int count = ::ImageList_GetImageCount(list);
    UniqueImageList inked(::ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, count, 0));
    for (int i = 0; inked && i < count; ++i) {
        const UniqueIcon icon(::ImageList_GetIcon(list, i, ILD_NORMAL));
        const UniqueIcon silhouette = icon ? SilhouetteOf(icon.Get(), width, ink) : UniqueIcon();
        if (!silhouette || ::ImageList_AddIcon(inked.Get(), silhouette.Get()) < 0) {
            return UniqueImageList();
        }
    }
    return inked;
}

}  // namespace snipora
