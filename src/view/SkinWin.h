#pragma once

#include <windows.h>

#include "win/UniqueGdiObject.h"

namespace snipora {

// The skin bitmap that the popup's category headers are cut from: the bitmap resource
// "MAIN_SKIN" of the program, loaded at the first use and freed with its owner.
class Skin {
public:
    explicit Skin(HMODULE module = ::GetModuleHandleW(nullptr), const wchar_t* name = L"MAIN_SKIN")
        : module_(module), name_(name) {}
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;

    // The bitmap, loaded at the first call. If it cannot be loaded the first call raises
    // AppError and later ones return null.
    HBITMAP GetSkin();

private:
    HMODULE module_;
    const wchar_t* name_;
    win::UniqueBitmap bitmap_;
    bool loaded_ = false;
};

}  // namespace snipora
