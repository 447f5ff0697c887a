#include "common/OleDate.h"

#include <chrono>
#include <ctime>

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

constexpr long long kDaysFrom1899To1970 = 25569;

}  // namespace

double OleDateFromParts(int year, int month, int day, int hour, int minute, int second,
                        int millisecond) {
    const long long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kDaysFrom1899To1970;
    const long long ms = ((hour * 60LL + minute) * 60LL + second) * 1000LL + millisecond;
    return static_cast<double>(days) + static_cast<double>(ms) / 86400000.0;
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

}  // namespace snipora
