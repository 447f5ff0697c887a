#include "store/HistoryAge.h"

#include <cmath>

namespace snipora {

bool IsPastAge(double captureTime, double now, int32_t minutes) {
    if (minutes <= 0) {
        return false;
    }
    constexpr double kMillisecondsPerDay = 24.0 * 60 * 60 * 1000;
    // Rounded to the millisecond, so that the fraction of a day that stands for exactly
    // `minutes` does not tip either way.
    const double ageMs = std::round((now - captureTime) * kMillisecondsPerDay);
    return ageMs > static_cast<double>(minutes) * 60 * 1000;
}

}  // namespace snipora
