#pragma once

#include <string>
#include <string_view>

namespace snipora {

// How many UTF-16 units of a text are looked at for its display text.
inline constexpr size_t PreviewLength = 200;

// The text that stands for an item in the bar's label and in the tree: its first PreviewLength
// units (a high surrogate cut off from its partner is dropped), without the blank and control
// characters (codes below 33) at either end. Only the first PreviewLength units are read.
std::u16string MakeDisplayText(std::u16string_view text);

// The bar's one line for a display text: each line break, tab or other control character
// becomes a space, as the bar draws a single line.
std::u16string MakeBarText(std::u16string_view displayText);

// A place to cut `text` at that keeps surrogate pairs whole: `at` itself, unless it falls
// between the two halves of a pair; then the place before the pair, or after it.
size_t CutBefore(std::u16string_view text, size_t at);
size_t CutAfter(std::u16string_view text, size_t at);

}  // namespace snipora
