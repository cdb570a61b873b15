// Fast searches over UTF-16 code units, four at a time in a 64-bit word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace scan {

inline constexpr uint64_t Lanes = 0x0001000100010001u;
inline constexpr uint64_t HighBits = 0x8000800080008000u;

inline uint64_t LoadFour(const char16_t* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Non-zero when some unit of `word` is below `limit` (limit <= 0x8000).
inline uint64_t AnyBelow(uint64_t word, uint16_t limit) {
    return (word - Lanes * limit) & ~word & HighBits;
}

// Index of the first unit in [from, end) that equals `unit`, or `end`.
inline size_t FindUnit(const char16_t* p, size_t from, size_t end, char16_t unit) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    for (; i + 8 <= end; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted));
        if (hits != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(hits))) / 2;
    }
#endif
    for (; i + 4 <= end; i += 4) {
        if (AnyBelow(LoadFour(p + i) ^ (Lanes * unit), 1)) break;
    }
    for (; i < end; ++i) {
        if (p[i] == unit) return i;
    }
    return end;
}

// Index of the first unit in [from, end) that is at most `highest`
// (highest < 0x8000), or `end`.
inline size_t FindUnitAtMost(const char16_t* p, size_t from, size_t end, char16_t highest) {
    size_t i = from;
    const auto limit = static_cast<uint16_t>(highest + 1);
    for (; i + 4 <= end; i += 4) {
        if (AnyBelow(LoadFour(p + i), limit)) break;
    }
    for (; i < end; ++i) {
        if (p[i] <= highest) return i;
    }
    return end;
}

} // namespace scan
