#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "common/OleDate.h"

namespace snipora {
namespace {

TEST(OleDate, FromPartsMatchesKnownValues) {
    EXPECT_DOUBLE_EQ(OleDateFromParts(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(OleDateFromParts(2009, 1, 1, 12, 0, 0, 0), 39814.5);
    EXPECT_DOUBLE_EQ(OleDateFromParts(2000, 3, 1, 6, 0, 0, 0), 36586.25);
    const double now = CurrentOleDate();
    EXPECT_GT(now, OleDateFromParts(2020, 1, 1, 0, 0, 0, 0));
}

TEST(OleDate, SplitsIntoCalendarDateAndTime) {
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

TEST(OleDate, TimesNoCalendarHoldsGiveNothing) {
    for (double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300, -1e300, -657435.0, 2958466.0,
          2958465.9999999999}) {
        EXPECT_FALSE(OleDateToParts(bad)) << bad;
    }
    EXPECT_TRUE(OleDateToParts(-657434.0));
    EXPECT_TRUE(OleDateToParts(2958465.5));
}

TEST(OleDate, WholeDayNumberTruncatesTowardZeroAndStaysInRange) {
    EXPECT_EQ(WholeDayNumber(39814.75), 39814);  // 18:00 on 1 January 2009
    EXPECT_EQ(WholeDayNumber(39814.999999), 39814);
    EXPECT_EQ(WholeDayNumber(-1.75), -1);
    EXPECT_EQ(WholeDayNumber(0.0), 0);
    EXPECT_EQ(WholeDayNumber(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(WholeDayNumber(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(WholeDayNumber(std::numeric_limits<double>::infinity()),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(WholeDayNumber(std::nan("")), 0);
}

}  // namespace
}  // namespace snipora
