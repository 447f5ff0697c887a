#pragma once

#include <cstdint>
#include <map>

#include "common/OleDate.h"

namespace snipora::test {

// A clock that stands still until moved, in a zone whose offsets a test sets: `offsets` maps the
// instant each offset starts at to the offset (in milliseconds); before the first, it is 0.
class FakeClock final : public IClock {
public:
    static constexpr int64_t kMinute = 60 * 1000;
    static constexpr int64_t kHour = 60 * kMinute;

    int64_t now = 1'700'000'000'000;  // 14 November 2023
    std::map<int64_t, int64_t> offsets;

    int64_t NowUtcMs() override { return now; }
    int64_t LocalOffsetMs(int64_t utcMs) override {
        const auto after = offsets.upper_bound(utcMs);
        return after == offsets.begin() ? 0 : std::prev(after)->second;
    }
};

}  // namespace snipora::test
