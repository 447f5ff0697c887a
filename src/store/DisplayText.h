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

}  // namespace snipora
