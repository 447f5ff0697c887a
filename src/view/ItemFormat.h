#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace snipora {

class CItemNode;

// A short text in a buffer of its own, for what is written on every row without allocating.
struct ShortText {
    static constexpr size_t Capacity = 48;
    char16_t units[Capacity] = {};
    size_t length = 0;
    std::u16string_view View() const { return {units, length}; }
};

// An entry's size as its row shows it: `size` in decimal digits, grouped as the system's digit
// grouping text `grouping` says ("3;0" thousands, "3;2;0" thousands then hundreds, "3" one group
// only, "0" or empty none), with `separator` between the groups, then "b". The system allows at
// most four units of separator; more are cut off.
ShortText FormatSize(uint32_t size, std::u16string_view separator, std::u16string_view grouping);

// The calendar date and time of day of an OLE date.
struct DateTimeParts {
    int year = 0;
    int month = 0;      // 1 to 12
    int day = 0;        // 1 to 31
    int dayOfWeek = 0;  // 0 Sunday to 6 Saturday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Splits an OLE date (a time of day before 1899-12-30 counts forwards from the day's start, as
// in the form's definition), rounded to the millisecond. None for values that are not finite or
// lie outside the years 100 to 9999: a data file from elsewhere may carry any bits.
std::optional<DateTimeParts> OleDateToParts(double date);

// Whether a row captured at `time` shows the time of day alone: its whole-day part is that of
// `now`. Otherwise it shows the date as well.
bool ShowsTimeOnly(double time, double now);

// The background of an entry row: the highlight when selected, otherwise white and light grey
// by turns down the category, the first entry white.
enum class RowBackground { Highlight, White, Grey };
RowBackground RowBackgroundFor(bool selected, size_t previousSiblings);

// A category header's title: "Clipboard history (7)", or while filtering "Clipboard history
// (3 of 25)".
std::u16string HeaderTitle(const CItemNode& category);

// What an entry says to a screen reader, as a sighted user reads it from the row:
// "Clipboard history, 4 entries" (or "3 of 25 entries" while filtering) for a category, the
// time and size of a history entry before its first line ("12:01:02, 1,234b: first line"), the
// first line alone for a note. `time` and `size` are the row's own texts of a history entry.
std::u16string SpokenText(const CItemNode& node, std::u16string_view time,
                          std::u16string_view size);

}  // namespace snipora
