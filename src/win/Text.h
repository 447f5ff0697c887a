#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace snipora::win {

// On Windows wchar_t is a UTF-16 code unit: the portable code's UTF-16 strings and the wide
// Win32 functions share their bytes.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::wstring_view Wide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::u16string_view Utf16(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

// The system's text for an error code (GetLastError), as UTF-8, without a trailing line break.
std::string ErrorText(DWORD error);

}  // namespace snipora::win
