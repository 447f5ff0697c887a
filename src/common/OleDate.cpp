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

double CurrentOleDate() {
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    const std::time_t seconds = static_cast<std::time_t>(ms.count() / 1000);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return OleDateFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                            local.tm_min, local.tm_sec, static_cast<int>(ms.count() % 1000));
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
