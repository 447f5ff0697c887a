#include "common/TextScan.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i + 8));
        const __m128i zeros = _mm_or_si128(_mm_cmpeq_epi16(low, zero), _mm_cmpeq_epi16(high, zero));
        if (_mm_movemask_epi8(zeros) != 0) {
            break;
        }
    }
#else
    for (; i + 16 <= count; i += 16) {
        if ((ZeroLanes(Word(units + i)) | ZeroLanes(Word(units + i + 4)) |
             ZeroLanes(Word(units + i + 8)) | ZeroLanes(Word(units + i + 12))) != 0) {
            break;
        }
    }
#endif
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
