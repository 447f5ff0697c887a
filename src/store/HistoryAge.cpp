#include "store/HistoryAge.h"

namespace snipora {

bool IsPastAge(int64_t capturedAt, int64_t now, int32_t minutes) {
    return minutes > 0 && now - capturedAt > int64_t{minutes} * 60 * 1000;
}

}  // namespace snipora
