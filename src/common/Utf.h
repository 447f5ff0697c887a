#pragma once

#include <string>
#include <string_view>

#include "common/FilePath.h"

namespace snipora {

// Conversions between UTF-8 and UTF-16. Ill-formed input (a lone surrogate, a broken UTF-8
// sequence) becomes U+FFFD; nothing is dropped silently and nothing throws.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Whether a text reads from right to left: its first strongly directed character is of a
// right-to-left script (Hebrew, Arabic, Syriac, Thaana, N'Ko and their presentation forms, and
// those outside the first plane). Digits, blanks, punctuation, symbols and emoji direct nothing;
// a text without a directed character reads left to right.
bool ReadsRightToLeft(std::u16string_view text);

// A path as UTF-8, for messages.
std::string PathToUtf8(const FilePath& path);

}  // namespace snipora
