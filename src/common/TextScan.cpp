#include "common/TextScan.h"

#include <cstdint>
#include <cstring>

namespace snipora {

size_t FindZeroUnit(const char16_t* units, size_t count) {
    constexpr uint64_t kOnes = 0x0001000100010001ULL;
    constexpr uint64_t kHighs = 0x8000800080008000ULL;
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        uint64_t word;
        std::memcpy(&word, units + i, sizeof word);
        // Nonzero exactly when one of the four 16-bit lanes is zero.
        if (((word - kOnes) & ~word & kHighs) != 0) {
            break;
        }
    }
    for (; i < count; ++i) {
        if (units[i] == 0) {
            return i;
        }
    }
    return count;
}

}  // namespace snipora
