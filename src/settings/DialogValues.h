#pragma once

#include <cstdint>
#include <string_view>

namespace snipora::settings {

// The ranges of the settings dialog's two size fields, in pixels.
inline constexpr int32_t kMinWindowWidth = 150;
inline constexpr int32_t kMaxWindowWidth = 800;
inline constexpr int32_t kMinWindowHeight = 200;
inline constexpr int32_t kMaxWindowHeight = 1000;

// `value` held within [min, max]; bounds given the wrong way round are swapped first. The whole
// 32-bit value is compared, so a stored number far beyond the range is held at its nearer bound
// rather than wrapping round into it.
int32_t Clamp(int32_t value, int32_t min, int32_t max);

// What a size field's text stands for: its decimal number held within [min, max], or `fallback`
// (the field's last good value) when the text holds no number at all.
int32_t FieldValue(std::u16string_view text, int32_t fallback, int32_t min, int32_t max);

// The history's two lengths as stored, held to their ranges: the size to 1..kMaxHistorySize, the
// number shown to 1..size.
struct HistoryLengths {
    int32_t Size;
    int32_t Shown;
};
HistoryLengths HoldHistoryLengths(int32_t size, int32_t shown);

// `[Main] Theme`, and the settings dialog's choice in this order: follow Windows' app mode, or
// always light, or always dark.
enum class ThemeChoice { System, Light, Dark };
// "system", "light" or "dark" in any case; anything else counts as "system".
ThemeChoice ParseThemeChoice(std::u16string_view text);
std::u16string_view ThemeChoiceName(ThemeChoice choice);

}  // namespace snipora::settings
