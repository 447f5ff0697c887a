#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "common/OleDate.h"
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

TEST(ItemFormat, OleDatesSplitIntoCalendarDateAndTime) {
    auto parts = OleDateToParts(OleDateFromParts(2024, 2, 29, 23, 59, 58, 250));
    ASSERT_TRUE(parts);
    EXPECT_EQ((std::array{parts->year, parts->month, parts->day, parts->dayOfWeek}),
              (std::array{2024, 2, 29, 4}));
    EXPECT_EQ((std::array{parts->hour, parts->minute, parts->second, parts->millisecond}),
              (std::array{23, 59, 58, 250}));

    // The start of the count: 30 December 1899, a Saturday.
    parts = OleDateToParts(0.0);
    ASSERT_TRUE(parts);
    EXPECT_EQ((std::array{parts->year, parts->month, parts->day, parts->dayOfWeek}),
              (std::array{1899, 12, 30, 6}));

    // Before it, the fraction still counts forwards from the day's start.
    parts = OleDateToParts(-1.25);
    ASSERT_TRUE(parts);
    EXPECT_EQ((std::array{parts->year, parts->month, parts->day, parts->hour}),
              (std::array{1899, 12, 29, 6}));

    // A hair before midnight rounds to the next day, not to 24:00.
    parts = OleDateToParts(OleDateFromParts(2023, 12, 31, 0, 0, 0, 0) + 1 - 1e-10);
    ASSERT_TRUE(parts);
    EXPECT_EQ((std::array{parts->year, parts->month, parts->day, parts->hour}),
              (std::array{2024, 1, 1, 0}));
}

TEST(ItemFormat, TimesNoCalendarHoldsGiveNothing) {
    for (double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300, -1e300, -657435.0, 2958466.0,
          2958465.9999999999}) {
        EXPECT_FALSE(OleDateToParts(bad)) << bad;
    }
    EXPECT_TRUE(OleDateToParts(-657434.0));
    EXPECT_TRUE(OleDateToParts(2958465.5));
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

TEST(ItemFormat, HeadersAndSpokenTextsSayWhatTheRowShows) {
    CItemNode category;
    category.IsCategory = true;
    category.Caption = u"Clipboard history";
    category.Size = 1;
    EXPECT_EQ(HeaderTitle(category), u"Clipboard history (1)");
    EXPECT_EQ(SpokenText(category, u"", u""), u"Clipboard history, 1 entry");
    category.Size = 3;
    category.Filtered = true;
    category.Total = 25;
    EXPECT_EQ(HeaderTitle(category), u"Clipboard history (3 of 25)");
    EXPECT_EQ(SpokenText(category, u"", u""), u"Clipboard history, 3 of 25 entries");

    CItemNode entry;
    entry.Caption = u"first line\r\nsecond line";
    EXPECT_EQ(SpokenText(entry, u"12:01:02", u"1,234b"), u"12:01:02, 1,234b: first line");
    entry.Category = 1;
    EXPECT_EQ(SpokenText(entry, u"12:01:02", u"1,234b"), u"first line");
    entry.Caption = u"";
    EXPECT_EQ(SpokenText(entry, u"", u""), u"");
}

}  // namespace
}  // namespace snipora
