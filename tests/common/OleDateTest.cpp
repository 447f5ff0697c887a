#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "common/OleDate.h"
#include "support/FakeClock.h"

namespace snipora {
namespace {

TEST(OleDate, FromPartsMatchesKnownValues) {
    EXPECT_DOUBLE_EQ(OleDateFromParts(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(OleDateFromParts(2009, 1, 1, 12, 0, 0, 0), 39814.5);
    EXPECT_DOUBLE_EQ(OleDateFromParts(2000, 3, 1, 6, 0, 0, 0), 36586.25);
    // Years of the 400-year cycle where the century's missing leap day counts.
    EXPECT_DOUBLE_EQ(OleDateFromParts(2100, 3, 1, 0, 0, 0, 0), 73110.0);
    EXPECT_DOUBLE_EQ(OleDateFromParts(2300, 12, 31, 0, 0, 0, 0), 146463.0);
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

// A zone at +2 h that goes to +1 h at `end` (its local hour from 02:00 comes twice) and back to
// +2 h at `start` (its local hour from 02:00 never comes).
TEST(OleDate, LocalTimesMapToTheirInstantsAcrossSummerTime) {
    constexpr int64_t kHour = test::FakeClock::kHour, kMinute = test::FakeClock::kMinute;
    const int64_t end = 1'698'541'200'000;  // 29 October 2023 01:00 UTC
    const int64_t start = end + 150 * 24 * kHour;
    test::FakeClock clock;
    clock.offsets = {{0, 2 * kHour}, {end, kHour}, {start, 2 * kHour}};
    const auto local = [](int day, int hour, int minute) {
        return OleDateFromParts(2023, 10, day, hour, minute, 0, 0);
    };
    EXPECT_EQ(LocalOleDate(clock, end - kHour - 30 * kMinute), local(29, 1, 30));
    EXPECT_EQ(LocalOleDate(clock, end - 30 * kMinute), local(29, 2, 30));
    EXPECT_EQ(LocalOleDate(clock, end + 30 * kMinute), local(29, 2, 30));
    EXPECT_EQ(LocalOleDate(clock, end + kHour), local(29, 3, 0));
    EXPECT_EQ(InstantOfLocal(clock, local(29, 1, 30)), end - kHour - 30 * kMinute);
    EXPECT_EQ(InstantOfLocal(clock, local(29, 2, 30)), end + 30 * kMinute);  // the later
    EXPECT_EQ(InstantOfLocal(clock, OleDateFromParts(2023, 10, 29, 1, 59, 59, 999)),
              end - kHour - 1);
    EXPECT_EQ(InstantOfLocal(clock, local(29, 3, 0)), end + kHour);
    // Skipped: 02:30 counts at +1 h, the offset before, and reads back as 03:30.
    const double skipped = OleDateFromParts(2024, 3, 27, 2, 30, 0, 0);
    ASSERT_EQ(LocalOleDate(clock, start - kHour), OleDateFromParts(2024, 3, 27, 1, 0, 0, 0));
    EXPECT_EQ(InstantOfLocal(clock, skipped), start + 30 * kMinute);
    EXPECT_EQ(LocalOleDate(clock, start + 30 * kMinute),
              OleDateFromParts(2024, 3, 27, 3, 30, 0, 0));
    EXPECT_EQ(InstantOfLocal(clock, std::nan("")), std::nullopt);
    // Before 1899-12-30 the fraction counts forwards from the day's start.
    clock.offsets.clear();
    EXPECT_EQ(LocalOleDate(clock, (-25569 - 1) * 24 * kHour + 6 * kHour), -1.25);
    EXPECT_EQ(InstantOfLocal(clock, -1.25), (-25569 - 1) * 24 * kHour + 6 * kHour);
}

}  // namespace
}  // namespace snipora
