#pragma once

#include <cstdint>
#include <optional>

namespace snipora {

// Date-time values in the OLE Automation form: days since 30 December 1899 00:00, local time,
// the time of day as the fraction.
double OleDateFromParts(int year, int month, int day, int hour, int minute, int second,
                        int millisecond);

// The current local date and time, to the millisecond.
double CurrentOleDate();

// The system's clock and local time zone, which ages and capture times are reckoned by. Instants
// are milliseconds since 1 January 1970 00:00 UTC.
class IClock {
public:
    virtual ~IClock() = default;
    virtual int64_t NowUtcMs() = 0;
    // How far local time is ahead of UTC at the instant, in milliseconds, by the zone's rules
    // as they stand now (summer time included).
    virtual int64_t LocalOffsetMs(int64_t utcMs) = 0;
};
IClock& SystemClock();

// The local date and time of an instant, as an OLE date.
double LocalOleDate(IClock& clock, int64_t utcMs);
// The instant that a local OLE date stands for, by the clock's zone as it is now. A local time
// that comes twice (the hour repeated as summer time ends) is the later instant; one that never
// comes (the hour skipped as it starts) counts with the offset before the change. None for a
// value that is no date (see OleDateToParts).
std::optional<int64_t> InstantOfLocal(IClock& clock, double date);

// The instants of many local times, each as InstantOfLocal gives it, with the zone asked once for
// each local day met while its offset stays the same from a day before it to a day after.
class LocalInstants {
public:
    explicit LocalInstants(IClock& clock) : clock_(clock) {}
    std::optional<int64_t> operator()(double date);

private:
    IClock& clock_;
    int64_t day_ = INT64_MIN;        // the local day, from 1970, that `offset_` is for
    std::optional<int64_t> offset_;  // none when the offset changes near that day
};

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

// The whole day number of a date value, truncated toward zero. Values beyond 32 bits are held at
// the nearest limit and NaN gives 0, so no date can make the conversion undefined.
int32_t WholeDayNumber(double date);

}  // namespace snipora
