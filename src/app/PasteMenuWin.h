#pragma once

#include <windows.h>

#include <string_view>

namespace snipora {

// The entry menu's items for several texts: "Paste together" with its separators, "Paste one by
// one" and "Paste lines one by one". `separators` takes the submenu, which the menu owns.
void AppendSeveralItems(HMENU menu, HMENU& separators);
// Pasting together and one by one need several entries chosen; the lines of one entry need an
// entry, not a header.
void EnableSeveralItems(HMENU menu, HMENU separators, bool several, bool onHeader);

// The separator that a "Paste together" item names; `named` is false for the others
// (kIdPasteTogether takes [Main] JoinSeparator).
std::u16string_view SeparatorOf(WORD command, bool& named);

}  // namespace snipora
