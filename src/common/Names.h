#pragma once

#include <string_view>

namespace snipora {

// Small rules for the names and words that users write into the settings file: program file
// names, paste methods, window classes.

// The text without the spaces and tabs around it.
std::u16string_view TrimBlanks(std::u16string_view text);

// A letter of ASCII or Latin-1 in lower case; any other unit as it is.
char16_t FoldLatin(char16_t c);

// Equal when ASCII and Latin-1 letters are compared without regard to case.
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

// The last name of a path whose folders are separated by '\' or '/': the file name.
std::u16string_view FileNameOf(std::u16string_view path);

}  // namespace snipora
