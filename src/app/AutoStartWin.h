#pragma once

#include <string_view>

namespace snipora {

// The per-user Run key and the value under which the program starts at logon.
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValue[] = L"Snipora";

// True when the Run value starts this very program file; a value that starts another copy, or
// none, gives false.
bool IsAutoStartOn(std::wstring_view programPath);

// Points the Run value at this program file, or removes it. Throws AppError with the system's
// reason when the registry refuses; nothing is changed then.
void SetAutoStart(bool on, std::wstring_view programPath);

}  // namespace snipora
