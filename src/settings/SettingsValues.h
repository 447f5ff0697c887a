#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace snipora::settings {

// The integer a setting's text holds: decimal with an optional sign, or hexadecimal after "0x"
// or "0X" (read as the 32-bit pattern, so "0xFFFFFFFF" is -1). Spaces and tabs around the number
// are ignored. A number past 32 bits is held to the nearest end: INT32_MAX or INT32_MIN (a
// hexadecimal one past 0xFFFFFFFF to INT32_MAX). nullopt for empty text or anything else.
std::optional<int32_t> ParseSettingInt(std::u16string_view text);

// The integer of a setting's text, or `fallback` when the text holds none.
int32_t SettingIntOr(std::u16string_view text, int32_t fallback);

// An integer as the decimal text it is stored as.
std::u16string FormatSettingInt(int32_t value);

// Why a section, key or value cannot go into an INI file unchanged (a zero unit would cut it
// short, a line break would start a new line, '=' would end a key, ']' a section), or nullptr.
const char* IniSectionProblem(std::u16string_view section);
const char* IniKeyProblem(std::u16string_view key);
const char* IniValueProblem(std::u16string_view value);

// The text that [Main] JoinSeparator names: "newline" a line break (CR LF), "tab", "comma",
// "space" and "none" (case-insensitive, blanks around ignored); any other text is the
// separator as it is. Empty, or absent, is the default: a line break.
std::u16string JoinSeparatorOf(std::u16string_view setting);

}  // namespace snipora::settings
