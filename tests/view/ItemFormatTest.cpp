#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "common/OleDate.h"
#include "common/Utf.h"
#include "support/HistoryLists.h"
#include "view/ItemFormat.h"
#include "view/ItemNode.h"

namespace snipora {
namespace {

std::u16string Size(uint32_t size, std::u16string_view separator = u",",
                    std::u16string_view grouping = u"3;0") {
    return std::u16string(FormatSize(size, separator, grouping).View());
}

TEST(ItemFormat, SizesAreGroupedAsTheUserSettingsSay) {
    EXPECT_EQ(Size(0), u"0b");
    EXPECT_EQ(Size(999), u"999b");
    EXPECT_EQ(Size(1000), u"1,000b");
    EXPECT_EQ(Size(1234), u"1,234b");
    EXPECT_EQ(Size(1234567, u"."), u"1.234.567b");
    EXPECT_EQ(Size(1234567, u"\u202F"), u"1\u202F234\u202F567b");
    EXPECT_EQ(Size(12345678, u",", u"3;2;0"), u"1,23,45,678b");
    // Without a closing 0 the listed groups are the only ones.
    EXPECT_EQ(Size(1234567, u",", u"3"), u"1234,567b");
    EXPECT_EQ(Size(123456789, u",", u"3;2"), u"1234,56,789b");
    // No grouping at all.
    EXPECT_EQ(Size(1234567, u",", u"0"), u"1234567b");
    EXPECT_EQ(Size(1234567, u",", u""), u"1234567b");
    EXPECT_EQ(Size(1234567, u""), u"1234567b");
}

TEST(ItemFormat, TheLargestSizeWithTheWidestSeparatorFits) {
    // The system allows four units of separator; more are cut off.
    EXPECT_EQ(Size(UINT32_MAX, u"abcdef", u"1;0"),
              u"4abcd2abcd9abcd4abcd9abcd6abcd7abcd2abcd9abcd5b");
    EXPECT_EQ(Size(UINT32_MAX, u"'", u"3;0"), u"4'294'967'295b");
}

TEST(ItemFormat, OnlyTodaysEntriesShowTheTimeAlone) {
    const double today = OleDateFromParts(2024, 5, 10, 0, 0, 0, 0);
    const double now = today + 0.75;
    EXPECT_TRUE(ShowsTimeOnly(today, now));
    EXPECT_TRUE(ShowsTimeOnly(today + 0.999, now));
    EXPECT_FALSE(ShowsTimeOnly(today - 0.0001, now));
    EXPECT_FALSE(ShowsTimeOnly(today + 1, now));
    EXPECT_FALSE(ShowsTimeOnly(std::numeric_limits<double>::quiet_NaN(), now));
}

TEST(ItemFormat, RowsAlternateWhiteAndGreyUnlessSelected) {
    EXPECT_EQ(RowBackgroundFor(false, 0), RowBackground::White);
    EXPECT_EQ(RowBackgroundFor(false, 1), RowBackground::Grey);
    EXPECT_EQ(RowBackgroundFor(false, 4), RowBackground::White);
    EXPECT_EQ(RowBackgroundFor(false, 7), RowBackground::Grey);
    EXPECT_EQ(RowBackgroundFor(true, 0), RowBackground::Highlight);
    EXPECT_EQ(RowBackgroundFor(true, 1), RowBackground::Highlight);
}

// The bar follows the history as it is: the newest kept entry on one line, never a note, and
// nothing once the history is cleared; an undo brings the text back, as does a start that
// loads entries without a capture.
TEST(ItemFormat, TheBarShowsTheNewestKeptHistoryEntryOrNothing) {
    test::HistoryLists lists;
    CClipboardHandler& handler = *lists.Show(nullptr);
    const auto add = [&handler](int32_t category, std::u16string_view text) {
        ListOperation op;
        op.What = ListOperation::Add;
        op.Category = category;
        op.Text = text;
        ASSERT_TRUE(handler.Apply(op));
    };
    EXPECT_EQ(BarTextOf(handler), u"");
    lists.Copy(u"  older\r\n");
    lists.Copy(u"\tnewer\r\nsecond line");
    EXPECT_EQ(BarTextOf(handler), u"newer  second line");
    add(kNotesCategory, u"a note, newer still");
    EXPECT_EQ(BarTextOf(handler), u"newer  second line");
    EXPECT_EQ(handler.ClearCategory(kHistoryCategory), 2u);
    EXPECT_EQ(BarTextOf(handler), u"");
    EXPECT_NE(handler.Undo(), 0u);
    EXPECT_EQ(BarTextOf(handler), u"newer  second line");
    // Deleting the newest shows the one before it.
    uint32_t newer = 0;
    for (const ItemEntry& item : handler.Items()) {
        if (item->Category == kHistoryCategory && newer == 0) {
            newer = item->Id;
        }
    }
    ASSERT_TRUE(handler.DeleteItem(newer));
    EXPECT_EQ(BarTextOf(handler), u"older");
    add(kHistoryCategory, u"loaded");
    EXPECT_EQ(BarTextOf(handler), u"loaded");
    // The newest one edited shows its new text.
    ASSERT_TRUE(handler.ReplaceText(handler.Items().front()->Id, u"edited\nagain"));
    EXPECT_EQ(BarTextOf(handler), u"edited again");
}

// Only a caption with a pair, a joiner or a variation selector takes the script layout; the
// edges of each range, and their neighbours, decide.
TEST(ItemFormat, CaptionsWithPairsOrEmojiPartsTakeTheScriptLayout) {
    const struct {
        std::u16string_view caption;
        bool script;
    } cases[] = {
        {u"", false},
        {u"plain text, \u00e9t\u00e9, \u4e2d\u6587, \u0645", false},
        {u"a\U0001F600b", true},        // a pair
        {u"\xd800", true},              // a lone high surrogate: the first unit of the range
        {u"\xdfff", true},              // a lone low one: the last
        {u"\ud7ff\ue000", false},       // the neighbours
        {u"\u200c\u200e", false},       // a non-joiner and a mark beside the joiner
        {u"\u2764\ufe0f", true},        // a heart with its emoji selector, the last one
        {u"\u2764\ufe00", true},        // the first selector
        {u"\ufdff\ufe10", false},       // their neighbours
        {u"\u0031\u20e3", false},       // a keycap without its selector is plain
        {u"\u2764\u200d\u2764", true},  // a joiner
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NeedsScriptLayout(c.caption), c.script) << Utf16ToUtf8(c.caption);
    }
}

TEST(ItemFormat, HeadersAndSpokenTextsSayWhatTheRowShows) {
    CItemNode category;
    category.IsCategory = true;
    category.Caption = u"Clipboard history";
    category.Size = 1;
    category.Total = 1;
    EXPECT_EQ(HeaderTitle(category), u"Clipboard history (1)");
    EXPECT_EQ(SpokenText(category, u"", u""), u"Clipboard history, 1 entry");
    // 7 shown of 14 kept: the header counts the kept ones.
    category.Size = 7;
    category.Total = 14;
    EXPECT_EQ(HeaderTitle(category), u"Clipboard history (14)");
    EXPECT_EQ(SpokenText(category, u"", u""), u"Clipboard history, 14 entries");
    category.Size = 3;
    category.Filtered = true;
    category.Total = 25;
    EXPECT_EQ(HeaderTitle(category), u"Clipboard history (3 of 25)");
    EXPECT_EQ(SpokenText(category, u"", u""), u"Clipboard history, 3 of 25 entries");

    // Fitted to its room at 7 pixels a unit: whole on one line, else the count goes below the
    // caption, which gives way before the count does.
    const auto measure = [](std::u16string_view text) { return static_cast<int>(text.size()) * 7; };
    using Lines = HeaderLines;
    EXPECT_EQ(FitHeaderTitle(category, 27 * 7, measure),
              (Lines{u"Clipboard history (3 of 25)", u""}));
    EXPECT_EQ(FitHeaderTitle(category, 27 * 7 - 1, measure),
              (Lines{u"Clipboard history", u"(3 of 25)"}));
    EXPECT_EQ(FitHeaderTitle(category, 17 * 7, measure),
              (Lines{u"Clipboard history", u"(3 of 25)"}));
    EXPECT_EQ(FitHeaderTitle(category, 17 * 7 - 1, measure),
              (Lines{u"Clipboard histo\u2026", u"(3 of 25)"}));
    // No blank before the ellipsis.
    EXPECT_EQ(FitHeaderTitle(category, 11 * 7, measure), (Lines{u"Clipboard\u2026", u"(3 of 25)"}));
    EXPECT_EQ(FitHeaderTitle(category, 2 * 7, measure), (Lines{u"C\u2026", u"(3 of 25)"}));
    EXPECT_EQ(FitHeaderTitle(category, 2 * 7 - 1, measure), (Lines{u"(3 of 25)", u""}));
    EXPECT_EQ(FitHeaderTitle(category, 0, measure), (Lines{u"(3 of 25)", u""}));
    category.Filtered = false;
    category.Total = 3;
    category.Caption = u"ab\U0001F600";  // a pair is kept whole or dropped whole
    EXPECT_EQ(FitHeaderTitle(category, 8 * 7, measure), (Lines{u"ab\U0001F600 (3)", u""}));
    EXPECT_EQ(FitHeaderTitle(category, 4 * 7, measure), (Lines{u"ab\U0001F600", u"(3)"}));
    EXPECT_EQ(FitHeaderTitle(category, 4 * 7 - 1, measure), (Lines{u"ab\u2026", u"(3)"}));

    CItemNode entry;
    entry.Caption = u"first line\r\nsecond line";
    EXPECT_EQ(SpokenText(entry, u"12:01:02", u"1,234b"), u"12:01:02, 1,234b: first line");
    entry.Category = 1;
    EXPECT_EQ(SpokenText(entry, u"12:01:02", u"1,234b"), u"first line");
    // A lone line feed, or a lone carriage return, ends the first line as well.
    entry.Caption = u"unix line\nsecond";
    EXPECT_EQ(SpokenText(entry, u"", u""), u"unix line");
    entry.Caption = u"old mac\rsecond";
    EXPECT_EQ(SpokenText(entry, u"", u""), u"old mac");
    entry.Caption = u"";
    EXPECT_EQ(SpokenText(entry, u"", u""), u"");
    entry.More = 4294967295u;
    EXPECT_EQ(SpokenText(entry, u"12:01:02", u"1,234b"), u"Show all (4294967295 more)");
    EXPECT_EQ(ShowAllText(1), u"Show all (1 more)");
}

}  // namespace
}  // namespace snipora
