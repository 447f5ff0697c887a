#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/VirtualKeys.h"

namespace snipora {

// How a chosen entry reaches the target window. WM_PASTE only works on the standard edit
// controls; every other program pastes on the keystroke alone.
enum class PasteMethod { Auto, Message, CtrlV, ShiftInsert, None };

// The INI section of per-program choices: `program.exe=auto|message|ctrl+v|shift+insert|none`.
inline constexpr std::u16string_view kPasteSection = u"Paste";

// A value of that section, case-insensitive and with blanks around it ignored; nullopt for a
// value that names no method.
std::optional<PasteMethod> ParsePasteMethod(std::u16string_view value);

// True for the window classes that paste on WM_PASTE: edit controls, combo boxes and the rich
// edit classes.
bool TakesPasteMessage(std::u16string_view windowClass);

// The method for a focus window of the given class: a configured method other than Auto wins;
// otherwise the message where it works and Ctrl+V elsewhere. Where nothing has the keyboard
// focus (empty class) the automatic choice is None.
PasteMethod ChoosePasteMethod(PasteMethod configured, std::u16string_view focusClass);

// The keys that must be up before a paste keystroke is sent, so that a held key cannot turn
// Ctrl+V into another shortcut.
inline constexpr uint8_t kPasteModifiers[] = {kVkShift, kVkControl, kVkMenu, kVkLeftWin,
                                              kVkRightWin};

struct KeyStroke {
    uint8_t virtualKey = 0;
    bool up = false;
    bool extended = false;  // Insert is on the extended part of the keyboard

    bool operator==(const KeyStroke&) const = default;
};

// The key events of a paste keystroke: modifier down, key down, key up, modifier up. Empty for
// the methods that send no keystroke.
std::vector<KeyStroke> PasteKeystrokes(PasteMethod method);

// When only the first `sent` of `strokes` got through: the key-ups that leave no key down, for
// the keys that went down and did not come up, the last pressed first. Nothing else is released.
std::vector<KeyStroke> ReleasesAfter(const std::vector<KeyStroke>& strokes, size_t sent);

// Polls `isDown` for every key of kPasteModifiers until all are up, pausing between rounds, for
// at most `limitMs` of `nowMs`. True once all are up; false if one is still down at the limit.
bool WaitForModifiersUp(const std::function<bool(uint8_t)>& isDown,
                        const std::function<uint32_t()>& nowMs, const std::function<void()>& pause,
                        uint32_t limitMs);

}  // namespace snipora
