#pragma once

#include <cstdint>

namespace snipora {

// True when a history entry captured at `captureTime` is more than `minutes` old at `now`, both
// OLE dates, compared to the millisecond: an entry exactly `minutes` old stays. With 0 minutes
// (or fewer) nothing is ever too old; nor is an entry stamped later than `now` (the clock was
// set back) or with a time that is not a number.
bool IsPastAge(double captureTime, double now, int32_t minutes);

}  // namespace snipora
