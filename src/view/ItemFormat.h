#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/OleDate.h"
#include "store/DataBase.h"

namespace snipora {

class CItemNode;

// A short text in a buffer of its own, for what is written on every row without allocating.
struct ShortText {
    static constexpr size_t kCapacity = 48;
    char16_t units[kCapacity] = {};
    size_t length = 0;
    std::u16string_view View() const { return {units, length}; }
};

// An entry's size as its row shows it: `size` in decimal digits, grouped as the system's digit
// grouping text `grouping` says ("3;0" thousands, "3;2;0" thousands then hundreds, "3" one group
// only, "0" or empty none), with `separator` between the groups, then "b". The system allows at
// most four units of separator; more are cut off.
ShortText FormatSize(uint32_t size, std::u16string_view separator, std::u16string_view grouping);

// Whether a row captured at `time` shows the time of day alone: its whole-day part is that of
// `now`. Otherwise it shows the date as well.
bool ShowsTimeOnly(double time, double now);

// The background of an entry row: the highlight when selected, otherwise white and light grey
// by turns down the category, the first entry white.
enum class RowBackground { Highlight, White, Grey };
RowBackground RowBackgroundFor(bool selected, size_t previousSiblings);

// Whether a caption needs the system's script layout to be drawn right: it holds a surrogate
// pair (an emoji or another character past the first plane, which is one glyph, not two), a
// joiner or a variation selector (the parts of an emoji sequence). Every other caption takes
// the plain, faster drawing.
bool NeedsScriptLayout(std::u16string_view caption);

// The bar's text: the newest entry the history keeps, on one line, or nothing when it keeps
// none. Derived from the lists each time, so that a clear, a delete, an undo or a start with
// an empty clipboard leaves the bar as the history is.
std::u16string BarTextOf(const CDataBase& lists);

// A category header's title: "Clipboard history (14)", counting every entry the list keeps (not
// only those shown, nor only those before a "Show all" row), or while filtering "Clipboard
// history (3 of 25)", the matches of the entries kept.
std::u16string HeaderTitle(const CItemNode& category);

// The header's title fitted to `room` pixels as `measure` gives a text's width: on one line when
// it fits whole; otherwise the caption on the first line, shortened to whole characters and
// closed by "…" where even it is too wide, and the count, "(14)", on a line below. A caption of
// which not one character fits gives way to the count on the first line. The count is never cut.
struct HeaderLines {
    std::u16string first;
    std::u16string second;  // empty when all is on the first line
    bool operator==(const HeaderLines&) const = default;
};
HeaderLines FitHeaderTitle(const CItemNode& category, int room,
                           const std::function<int(std::u16string_view)>& measure);

// The text of a list's "Show all" row: "Show all (1234 more)".
std::u16string ShowAllText(uint32_t more);

// The room at a header's right end, in design pixels, that its expander takes.
inline constexpr int kHeaderExpanderWidth = 16;

// What an entry says to a screen reader, as a sighted user reads it from the row:
// "Clipboard history, 4 entries" (or "3 of 25 entries" while filtering) for a category, the
// time and size of a history entry before its first line ("12:01:02, 1,234b: first line"), the
// first line alone for a note, and a "Show all" row's own text. `time` and `size` are the row's own
// texts of a history entry.
std::u16string SpokenText(const CItemNode& node, std::u16string_view time,
                          std::u16string_view size);

}  // namespace snipora
