#include "win/DarkMode.h"

#include "common/DarkModeBuilds.h"
#include "win/SystemLibrary.h"

namespace snipora::win {
namespace {

bool dark = false;

// The build number as the system knows it: GetVersionEx answers with the manifest's newest
// supported version instead.
uint32_t WindowsBuild() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    static const uint32_t build = [] {
        const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        return rtlGetVersion != nullptr && rtlGetVersion(&info) == 0
                   ? static_cast<uint32_t>(info.dwBuildNumber)
                   : 0u;
    }();
    return build;
}

const SystemLibrary& UxTheme() {
    static const SystemLibrary library(L"uxtheme.dll");
    return library;
}

// uxtheme's SetPreferredAppMode (ordinal 135) and FlushMenuThemes (136): 2 forces the dark
// menus, 3 the light ones.
void ApplyMenuMode(bool darkMenus) {
    if (!MenusCanBeDark(WindowsBuild())) {
        return;
    }
    using SetPreferredAppModeFn = int(WINAPI*)(int);
    using FlushMenuThemesFn = void(WINAPI*)();
    static const auto setMode = UxTheme().Find<SetPreferredAppModeFn>(WORD{135});
    static const auto flush = UxTheme().Find<FlushMenuThemesFn>(WORD{136});
    if (setMode != nullptr) {
        setMode(darkMenus ? 2 : 3);
        if (flush != nullptr) {
            flush();
        }
    }
}

}  // namespace

void SetDarkMode(bool on) {
    if (on != dark) {
        dark = on;
        ApplyMenuMode(on);
    }
}

bool DarkMode() {
    return dark;
}

void ApplyDarkTitleBar(HWND window, bool on) {
    const int attribute = DarkTitleBarAttribute(WindowsBuild());
    if (window == nullptr || attribute == 0) {
        return;
    }
    using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    static const SystemLibrary dwm(L"dwmapi.dll");
    static const auto setAttribute = dwm.Find<DwmSetWindowAttributeFn>("DwmSetWindowAttribute");
    if (setAttribute != nullptr) {
        const BOOL value = on ? TRUE : FALSE;
        setAttribute(window, static_cast<DWORD>(attribute), &value, sizeof value);
    }
}

void ApplyDarkScrollBars(HWND control, bool on) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const auto setTheme = UxTheme().Find<SetWindowThemeFn>("SetWindowTheme");
    if (control != nullptr && setTheme != nullptr) {
        setTheme(control, on ? L"DarkMode_Explorer" : nullptr, nullptr);
    }
}

}  // namespace snipora::win
