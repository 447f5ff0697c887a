#include "common/OleDate.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace snipora {
namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

// The calendar date of a day counted from 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// Division that rounds toward minus infinity, for instants before 1970.
long long FloorDiv(long long a, long long b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

constexpr long long kDaysFrom1899To1970 = 25569;
constexpr long long kMsPerDay = 86400000;
// 1 January 100 and 31 December 9999 as OLE days.
constexpr double kFirstDay = -657434.0;
constexpr double kDayAfterLast = 2958466.0;

}  // namespace

double OleDateFromParts(int year, int month, int day, int hour, int minute, int second,
                        int millisecond) {
    const long long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kDaysFrom1899To1970;
    const long long ms = ((hour * 60LL + minute) * 60LL + second) * 1000LL + millisecond;
    return static_cast<double>(days) + static_cast<double>(ms) / kMsPerDay;
}

namespace {

// The platform's clock, and its local time from the C library: localtime follows the system's
// zone and its summer time rules, on Windows from the zone the system is set to.
class PlatformClock final : public IClock {
public:
    int64_t NowUtcMs() override {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    }
    int64_t LocalOffsetMs(int64_t utcMs) override {
        const auto seconds = static_cast<std::time_t>(FloorDiv(utcMs, 1000));
        std::tm local{};
#ifdef _WIN32
        if (localtime_s(&local, &seconds) != 0) {
            return 0;
        }
#else
        if (localtime_r(&seconds, &local) == nullptr) {
            return 0;
        }
#endif
        const long long wall =
            DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                          static_cast<unsigned>(local.tm_mday)) *
                86400LL +
            local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
        return (wall - static_cast<long long>(seconds)) * 1000;
    }
};

}  // namespace

IClock& SystemClock() {
    static PlatformClock clock;
    return clock;
}

double CurrentOleDate() {
    IClock& clock = SystemClock();
    return LocalOleDate(clock, clock.NowUtcMs());
}

double LocalOleDate(IClock& clock, int64_t utcMs) {
    const int64_t wall = utcMs + clock.LocalOffsetMs(utcMs);
    const int64_t days = FloorDiv(wall, kMsPerDay);
    const auto whole = static_cast<double>(days + kDaysFrom1899To1970);
    const double fraction = static_cast<double>(wall - days * kMsPerDay) / kMsPerDay;
    // Before 30 December 1899 the fraction still counts forwards from the day's start.
    return whole >= 0 ? whole + fraction : whole - fraction;
}

std::optional<int64_t> InstantOfLocal(IClock& clock, double date) {
    return LocalInstants(clock)(date);
}

std::optional<int64_t> LocalInstants::operator()(double date) {
    const auto parts = OleDateToParts(date);
    if (!parts) {
        return std::nullopt;
    }
    // The local time read as if it were UTC.
    const int64_t dayStart = DaysFromCivil(parts->year, static_cast<unsigned>(parts->month),
                                           static_cast<unsigned>(parts->day)) *
                             kMsPerDay;
    const int64_t wall = dayStart +
                         ((parts->hour * 60LL + parts->minute) * 60LL + parts->second) * 1000LL +
                         parts->millisecond;
    if (dayStart != day_) {
        day_ = dayStart;
        const int64_t before = clock_.LocalOffsetMs(dayStart - kMsPerDay);
        offset_ = before == clock_.LocalOffsetMs(dayStart + 2 * kMsPerDay)
                      ? std::optional<int64_t>(before)
                      : std::nullopt;
    }
    if (offset_) {
        return wall - *offset_;
    }
    // The offsets a day either side are the only ones the time can have, as a zone changes its
    // offset at most once a day.
    const int64_t before = clock_.LocalOffsetMs(wall - kMsPerDay);
    const int64_t after = clock_.LocalOffsetMs(wall + kMsPerDay);
    std::optional<int64_t> instant;
    for (const int64_t offset : {before, after}) {
        const int64_t candidate = wall - offset;
        if (clock_.LocalOffsetMs(candidate) == offset && (!instant || candidate > *instant)) {
            instant = candidate;
        }
    }
    return instant ? *instant : wall - before;
}

std::optional<DateTimeParts> OleDateToParts(double date) {
    if (!std::isfinite(date) || date < kFirstDay || date >= kDayAfterLast) {
        return std::nullopt;
    }
    const double whole = std::trunc(date);
    long long days = static_cast<long long>(whole);
    long long ms = std::llround(std::abs(date - whole) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        ++days;
    }
    DateTimeParts parts;
    const long long fromEpoch = days - kDaysFrom1899To1970;
    CivilFromDays(fromEpoch, parts.year, parts.month, parts.day);
    if (parts.year > 9999) {
        return std::nullopt;
    }
    parts.dayOfWeek = static_cast<int>(((fromEpoch + 4) % 7 + 7) % 7);
    parts.hour = static_cast<int>(ms / 3600000);
    parts.minute = static_cast<int>(ms / 60000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.millisecond = static_cast<int>(ms % 1000);
    return parts;
}

int32_t WholeDayNumber(double date) {
    if (std::isnan(date)) {
        return 0;
    }
    if (date >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (date <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(date);  // truncates toward zero
}

}  // namespace snipora
