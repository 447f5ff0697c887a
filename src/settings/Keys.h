#pragma once

#include <cstdint>
#include <string_view>

// The trigger settings' names, and the defaults of the settings that the popup window and the
// settings dialog share. All live in the section "Main".
namespace snipora::keys {

// 1 = the primary trigger (Ctrl + left click) is on, anything else = off.
inline constexpr std::u16string_view PriHotKeyEnabled = u"PriHotKeyEnabled";
// 1 = the secondary hot key is on, anything else = off.
inline constexpr std::u16string_view SecHotKeyEnabled = u"SecHotKeyEnabled";
// The secondary hot key as a shortcut code: low 8 bits the virtual-key code, 0x2000 Shift,
// 0x4000 Ctrl, 0x8000 Alt. A code whose low 16 bits are 0 turns the hot key off.
inline constexpr std::u16string_view SecHotKeyValue = u"SecHotKeyValue";

// The modifier bits of a shortcut code.
inline constexpr uint16_t kShortcutShift = 0x2000;
inline constexpr uint16_t kShortcutControl = 0x4000;
inline constexpr uint16_t kShortcutAlt = 0x8000;

// Program file names separated by ';' ("keepass.exe;1password.exe"): copies made by these
// programs are never recorded. Empty or absent: none.
inline constexpr std::u16string_view kExcludePrograms = u"ExcludePrograms";

// How many history entries are kept (1 to 100,000), and how many of the newest the popup lists
// (1 to the number kept). Outside the range a value is held to it; one that is no number counts
// as the default.
inline constexpr std::u16string_view kHistorySize = u"HistorySize";
inline constexpr std::u16string_view kHistoryShown = u"HistoryShown";
inline constexpr int32_t kDefaultHistorySize = 25;
inline constexpr int32_t kMaxHistorySize = 100000;
inline constexpr int32_t kDefaultHistoryShown = 7;
// History entries older than this many minutes are deleted; 0 = never. Held to
// [0, MaxForgetHistoryAfter], a year.
inline constexpr std::u16string_view kForgetHistoryAfter = u"ForgetHistoryAfter";
inline constexpr int32_t kDefaultForgetHistoryAfter = 0;
inline constexpr int32_t kMaxForgetHistoryAfter = 525600;
// 1 = the bar and the popup ask the system to leave them out of screen captures and shares.
inline constexpr std::u16string_view kHideFromCapture = u"HideFromCapture";
inline constexpr int32_t kDefaultHideFromCapture = 1;
// 1 = a copied text equal to a history entry is added again; anything else = that entry moves
// to the top instead.
inline constexpr std::u16string_view kKeepDuplicates = u"KeepDuplicates";
inline constexpr int32_t kDefaultKeepDuplicates = 0;
// 1 = the popup takes the keyboard focus from the window it pastes into, as a screen reader needs
// to announce it; anything else = it never does.
inline constexpr std::u16string_view kPopupTakesFocus = u"PopupTakesFocus";
// "system" (the default) follows Windows' app mode; "light" and "dark" hold to one look.
inline constexpr std::u16string_view kTheme = u"Theme";
// 1 = the history's files are encrypted for the current Windows account in any data folder; 0 =
// they are written plain in any; absent (or anything else) = encrypted in the per-user folder,
// plain in the portable and U3 folders (EncryptsData).
inline constexpr std::u16string_view kEncryptData = u"EncryptData";
inline constexpr int32_t kEncryptDataByFolder = -1;  // the reader's value for "absent"
// 1 = the log file takes information lines as well as errors.
inline constexpr std::u16string_view kLogDetails = u"LogDetails";
inline constexpr int32_t kDefaultLogDetails = 0;

// What goes between the texts of several entries pasted together: "newline" (the default, a
// line break), "tab", "comma", "space", "none", or any other text, taken as it is.
inline constexpr std::u16string_view kJoinSeparator = u"JoinSeparator";
// The key that pastes the next text of a queue started with "Paste one by one", as a shortcut
// code like SecHotKeyValue; 0 turns it off. Registered only while a queue runs.
inline constexpr std::u16string_view kPasteNextHotKey = u"PasteNextHotKey";
// Ctrl+Shift+N: no layout types with Ctrl and Shift, which AltGr is not.
inline constexpr int32_t kDefaultPasteNextHotKey = kShortcutControl | kShortcutShift | 0x4E;

// Not a setting: the clipboard's sequence number when the last run ended with a text copied
// during a pause still on the clipboard (0 = none), so that the next start does not record it.
inline constexpr std::u16string_view kWithheldCopy = u"WithheldCopy";

inline constexpr int32_t kDefaultHotKeyEnabled = 1;
inline constexpr int32_t kDefaultSecHotKeyValue = 0xC056;  // Ctrl+Alt+V

// Defaults are not stored: each reader passes its own. These are the readers' values.
inline constexpr int32_t kDefaultPositionY = 0;
inline constexpr int32_t kDefaultWindowWidth = 200;
inline constexpr int32_t kPopupWindowHeight = 388;   // what the popup assumes
inline constexpr int32_t kDialogWindowHeight = 390;  // what the settings dialog shows
// The popup's left edge when none is stored: 80 pixels left of the work area's right edge.
inline constexpr int32_t DefaultPositionX(int32_t workAreaRight, int32_t popupWidth) {
    return workAreaRight - popupWidth - 80;
}

}  // namespace snipora::keys
