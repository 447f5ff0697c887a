#pragma once

#include <cstdint>
#include <string_view>

// The names of the trigger settings, shared by the popup window and the settings dialog. All
// live in the section "Main".
namespace snipora::Keys {

// 1 = the primary trigger (Ctrl + left click) is on, anything else = off.
inline constexpr std::u16string_view PriHotKeyEnabled = u"PriHotKeyEnabled";
// 1 = the secondary hot key is on, anything else = off.
inline constexpr std::u16string_view SecHotKeyEnabled = u"SecHotKeyEnabled";
// The secondary hot key as a shortcut code: low 8 bits the virtual-key code, 0x2000 Shift,
// 0x4000 Ctrl, 0x8000 Alt. A code whose low 16 bits are 0 turns the hot key off.
inline constexpr std::u16string_view SecHotKeyValue = u"SecHotKeyValue";

// Program file names separated by ';' ("keepass.exe;1password.exe"): copies made by these
// programs are never recorded. Empty or absent: none.
inline constexpr std::u16string_view ExcludePrograms = u"ExcludePrograms";

inline constexpr int32_t DefaultHotKeyEnabled = 1;
inline constexpr int32_t DefaultSecHotKeyValue = 0xC056;  // Ctrl+Alt+V

}  // namespace snipora::Keys
