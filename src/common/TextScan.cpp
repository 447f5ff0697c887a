#include "common/TextScan.h"

#include <cstdint>
#include <cstring>

namespace snipora {

namespace {

uint64_t Word(const char16_t* units) {
    uint64_t word;
    std::memcpy(&word, units, sizeof word);
    return word;
}

// Nonzero exactly when one of the four 16-bit lanes is zero.
uint64_t ZeroLanes(uint64_t word) {
    constexpr uint64_t kOnes = 0x0001000100010001ULL;
    constexpr uint64_t kHighs = 0x8000800080008000ULL;
    return (word - kOnes) & ~word & kHighs;
}

}  // namespace

size_t FindZeroUnit(const char16_t* units, size_t count) {
    size_t i = 0;
    // Sixteen units a turn with one branch; the turn that holds a zero is then gone over again.
    for (; i + 16 <= count; i += 16) {
        if ((ZeroLanes(Word(units + i)) | ZeroLanes(Word(units + i + 4)) |
             ZeroLanes(Word(units + i + 8)) | ZeroLanes(Word(units + i + 12))) != 0) {
            break;
        }
    }
    for (; i + 4 <= count; i += 4) {
        if (ZeroLanes(Word(units + i)) != 0) {
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
