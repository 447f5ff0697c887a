#include "view/ProgramImagesWin.h"

#include <initializer_list>

#include "view/ImageIds.h"

namespace snipora {
namespace {

constexpr int kLargeImagesDpi = 144;

UniqueIcon LoadIconResource(int id, int size) {
    return UniqueIcon(static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
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
    return dpi >= kLargeImagesDpi ? 24 : 16;
}

int CategoryImageSize(int dpi) {
    return dpi >= kLargeImagesDpi ? 48 : 32;
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
