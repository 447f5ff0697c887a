#pragma once

#include <cstdint>

namespace snipora {

// True when a history entry captured at the instant `capturedAt` is more than `minutes` old at
// `now`, both in milliseconds since 1970 (UTC): an entry exactly `minutes` old stays. With 0
// minutes (or fewer) nothing is ever too old.
bool IsPastAge(int64_t capturedAt, int64_t now, int32_t minutes);

}  // namespace snipora
