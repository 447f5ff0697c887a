#include "view/ThemeWin.h"

namespace snipora {

bool AppsUseLightTheme() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                        KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return true;
    }
    DWORD value = 1, type = 0, size = sizeof value;
    const LSTATUS status = ::RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type,
                                              reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return status != ERROR_SUCCESS || type != REG_DWORD || value != 0;
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

SystemColours CurrentSystemColours() {
    return {FromColorRef(::GetSysColor(COLOR_WINDOW)),
            FromColorRef(::GetSysColor(COLOR_WINDOWTEXT)),
            FromColorRef(::GetSysColor(COLOR_HIGHLIGHT)),
            FromColorRef(::GetSysColor(COLOR_HIGHLIGHTTEXT))};
}

Palette CurrentPalette(ThemeChoice choice) {
    const bool highContrast = HighContrastOn();
    const Scheme scheme = ChooseScheme(
        choice, highContrast || choice != ThemeChoice::System || AppsUseLightTheme(), highContrast);
    return Palette::For(scheme, CurrentSystemColours());
}

}  // namespace snipora
