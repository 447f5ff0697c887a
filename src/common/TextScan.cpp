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

#if defined(__SSE2__)
// Whether one of the 8 * Vectors units at `units` is zero.
template <int Vectors>
bool AnyZero(const char16_t* units) {
    const auto* block = reinterpret_cast<const __m128i*>(units);
    const __m128i zero = _mm_setzero_si128();
    __m128i zeros = _mm_cmpeq_epi16(_mm_loadu_si128(block), zero);
#pragma GCC unroll 4
    for (int k = 1; k < Vectors; ++k) {
        zeros = _mm_or_si128(zeros, _mm_cmpeq_epi16(_mm_loadu_si128(block + k), zero));
    }
    return _mm_movemask_epi8(zeros) != 0;
}

// Two mask bits for each of the eight units at `units` that is zero.
unsigned ZeroMask(const char16_t* units) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(eight, _mm_setzero_si128())));
}
#endif

}  // namespace

size_t FindZeroUnit(const char16_t* units, size_t count) {
    size_t i = 0;
#if defined(__SSE2__)
    if (count >= 8) {
        // Thirty-two units a turn with one branch; the turn that holds a zero is then gone over
        // again eight units at a time.
        for (; i + 32 <= count; i += 32) {
            if (AnyZero<4>(units + i)) {
                break;
            }
        }
        for (; i + 8 <= count; i += 8) {
            if (const unsigned mask = ZeroMask(units + i)) {
                return i + static_cast<size_t>(__builtin_ctz(mask)) / 2;
            }
        }
        // The last few units, as the eight that end the text: those before `i` hold no zero.
        if (i < count) {
            if (const unsigned mask = ZeroMask(units + count - 8)) {
                return count - 8 + static_cast<size_t>(__builtin_ctz(mask)) / 2;
            }
        }
        return count;
    }
#else
    // Sixteen units a turn with one branch; the turn that holds a zero is then gone over again.
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
