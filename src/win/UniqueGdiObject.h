#pragma once

#include <windows.h>

#include <commctrl.h>

#include "win/UniqueHandle.h"

namespace snipora::win {

// A GDI bitmap, freed with DeleteObject.
struct BitmapTraits {
    using Handle = HBITMAP;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::DeleteObject(h) != FALSE; }
};
using UniqueBitmap = UniqueHandle<BitmapTraits>;

// A device context made with CreateCompatibleDC, freed with DeleteDC.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::DeleteDC(h) != FALSE; }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

// A font, pen or brush, freed with DeleteObject.
template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::DeleteObject(h) != FALSE; }
};
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;

// A menu, freed with DestroyMenu.
struct MenuTraits {
    using Handle = HMENU;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::DestroyMenu(h) != FALSE; }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

// An icon made with LoadImage or CreateIconIndirect, freed with DestroyIcon.
struct IconTraits {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::DestroyIcon(h) != FALSE; }
};
using UniqueIcon = UniqueHandle<IconTraits>;

// An image list, freed with ImageList_Destroy (comctl32).
struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::ImageList_Destroy(h) != FALSE; }
};
using UniqueImageList = UniqueHandle<ImageListTraits>;

}  // namespace snipora::win
