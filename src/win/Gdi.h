#pragma once

#include <windows.h>

#include "win/UniqueGdiObject.h"

namespace snipora::win {

// A window's device context (or the screen's, for a null window) from GetDC, given back with
// ReleaseDC at the end of the scope.
class ScopedGetDc {
public:
    explicit ScopedGetDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ScopedGetDc(const ScopedGetDc&) = delete;
    ScopedGetDc& operator=(const ScopedGetDc&) = delete;
    ~ScopedGetDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// The whole screen's device context.
class ScreenDc : public ScopedGetDc {
public:
    ScreenDc() : ScopedGetDc(nullptr) {}
};

// An object selected into a device context for the span of a scope; the one it replaced goes
// back at the end.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (old_ != nullptr && old_ != HGDI_ERROR) {
            ::SelectObject(dc_, old_);
        }
    }
    // False when the context refused the object.
    explicit operator bool() const { return old_ != nullptr && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The program's face, Tahoma, `height` pixels high as CreateFontW reads it (negative for the
// character height without the internal leading).
UniqueFont MakeFont(int height, int weight = FW_NORMAL);

}  // namespace snipora::win
