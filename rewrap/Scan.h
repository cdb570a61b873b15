// Fast searches over UTF-16 code units, four at a time in a 64-bit word, and
// over UTF-8 bytes, sixteen at a time.
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
        if (hits != 0)
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(hits))) / 2;
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

// The value of a unit of either kind of text: a UTF-8 byte above 0x7F is
// never a break or quote character, and must not turn negative on the way.
inline uint32_t UnitValue(char16_t c) { return c; }
inline uint32_t UnitValue(char c) { return static_cast<unsigned char>(c); }

inline constexpr size_t BlockBytes = 16;

// The UTF-16 code units of the characters that begin in the 16 bytes of
// UTF-8 at `p`: one for every byte that is not a continuation byte, and one
// more for every first byte of a character above U+FFFF.
inline size_t CountUtf16Units(const uint8_t* p) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // As signed bytes, continuation bytes are those below -64 (0xC0); first
    // bytes of four are those that 0xF0 does not exceed, unsigned.
    const __m128i one = _mm_set1_epi8(1);
    const __m128i starts =
        _mm_andnot_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC0))), one);
    const __m128i f0 = _mm_set1_epi8(static_cast<char>(0xF0));
    const __m128i fours = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(bytes, f0), bytes), one);
    const __m128i sums = _mm_sad_epu8(_mm_add_epi8(starts, fours), _mm_setzero_si128());
    return static_cast<size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
#else
    size_t units = 0;
    for (size_t k = 0; k < BlockBytes; ++k) {
        units += (p[k] & 0xC0) != 0x80;
        units += p[k] >= 0xF0;
    }
    return units;
#endif
}

#if defined(__SSE2__)
// Bit k set when byte k of the 16 at `p` is at most the byte of `tops`:
// exactly when the larger of the two is that byte.
inline unsigned MatchAtMost(const uint8_t* p, __m128i tops) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(bytes, tops), tops)));
}
#endif

// Index of the first byte in [from, end) that is at most `highest` (read as
// unsigned, highest < 0x80), or `end`.
inline size_t FindUnitAtMost(const char* text, size_t from, size_t end, char highest) {
    const auto* p = reinterpret_cast<const uint8_t*>(text);
    const auto top = static_cast<uint8_t>(highest);
    size_t i = from;
#if defined(__SSE2__)
    const __m128i tops = _mm_set1_epi8(highest);
    for (; end - i >= 16; i += 16) {
        const unsigned hits = MatchAtMost(p + i, tops);
        if (hits != 0) return i + static_cast<size_t>(__builtin_ctz(hits));
    }
#endif
    for (; i < end; ++i) {
        if (p[i] <= top) return i;
    }
    return end;
}

// Bit k set when byte k of the 16 at `p` starts a character (is not a
// continuation byte), and in `fours` when it starts one above U+FFFF.
inline unsigned CharacterStarts(const uint8_t* p, unsigned& fours) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i f0 = _mm_set1_epi8(static_cast<char>(0xF0));
    fours =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(bytes, f0), bytes)));
    return ~static_cast<unsigned>(
               _mm_movemask_epi8(_mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC0))))) &
           0xFFFF;
#else
    unsigned starts = 0;
    fours = 0;
    for (unsigned k = 0; k < BlockBytes; ++k) {
        if ((p[k] & 0xC0) != 0x80) starts |= 1u << k;
        if (p[k] >= 0xF0) fours |= 1u << k;
    }
    return starts;
#endif
}

#if defined(__SSE2__)
// Bit k set when unit k of the block at `p` equals `a` or `b`.
inline unsigned MatchEither(const char* p, __m128i a, __m128i b) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(units, a), _mm_cmpeq_epi8(units, b))));
}

// Two bits, 2k and 2k + 1, for unit k of the 8 at `p`.
inline unsigned MatchEither(const char16_t* p, __m128i a, __m128i b) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, a), _mm_cmpeq_epi16(units, b))));
}

inline __m128i Broadcast(char c) { return _mm_set1_epi8(c); }
inline __m128i Broadcast(char16_t c) { return _mm_set1_epi16(static_cast<short>(c)); }
#endif

// Index of the first unit in [from, end) that equals `a` or `b`, or `end`.
template <typename Char> size_t FindEither(const Char* p, size_t from, size_t end, Char a, Char b) {
    size_t i = from;
#if defined(__SSE2__)
    constexpr size_t Lane = 16 / sizeof(Char);
    const __m128i as = Broadcast(a);
    const __m128i bs = Broadcast(b);
    for (; end - i >= Lane; i += Lane) {
        const unsigned hits = MatchEither(p + i, as, bs);
        if (hits != 0) return i + static_cast<size_t>(__builtin_ctz(hits)) / sizeof(Char);
    }
#endif
    for (; i < end; ++i) {
        if (p[i] == a || p[i] == b) return i;
    }
    return end;
}

// One past the last unit in [from, end) that equals `a` or `b`, or `from`.
template <typename Char>
size_t FindLastEither(const Char* p, size_t from, size_t end, Char a, Char b) {
    size_t i = end;
#if defined(__SSE2__)
    constexpr size_t Lane = 16 / sizeof(Char);
    const __m128i as = Broadcast(a);
    const __m128i bs = Broadcast(b);
    for (; i - from >= Lane; i -= Lane) {
        const unsigned hits = MatchEither(p + i - Lane, as, bs);
        if (hits != 0) {
            const auto top = static_cast<size_t>(31 - __builtin_clz(hits)) / sizeof(Char);
            return i - Lane + top + 1;
        }
    }
#endif
    for (; i > from; --i) {
        if (p[i - 1] == a || p[i - 1] == b) return i;
    }
    return from;
}

// Per byte value: how many bits are set, and where the k-th of them is.
struct BitTables {
    uint8_t count[256] = {};
    uint8_t where[256][8] = {};
};

inline constexpr BitTables MakeBitTables() {
    BitTables tables;
    for (unsigned value = 0; value < 256; ++value) {
        unsigned k = 0;
        for (unsigned bit = 0; bit < 8; ++bit) {
            if ((value >> bit) & 1) tables.where[value][k++] = static_cast<uint8_t>(bit);
        }
        tables.count[value] = static_cast<uint8_t>(k);
    }
    return tables;
}

inline constexpr BitTables Bits = MakeBitTables();

// The position of set bit number `k` (from 0) of the 16-bit `mask`, which
// has more than k of them.
inline size_t IndexOfSetBit(unsigned mask, size_t k) {
    const unsigned low = mask & 0xFF;
    const size_t lowCount = Bits.count[low];
    if (k < lowCount) return Bits.where[low][k];
    return 8 + size_t{Bits.where[(mask >> 8) & 0xFF][k - lowCount]};
}

// One past the last byte in [from, end) that is at most `highest` (read as
// unsigned, highest < 0x80), or `from` when there is none.
inline size_t FindLastUnitAtMost(const char* text, size_t from, size_t end, char highest) {
    const auto* p = reinterpret_cast<const uint8_t*>(text);
    const auto top = static_cast<uint8_t>(highest);
    size_t i = end;
#if defined(__SSE2__)
    const __m128i tops = _mm_set1_epi8(highest);
    for (; i - from >= 16; i -= 16) {
        const unsigned hits = MatchAtMost(p + i - 16, tops);
        if (hits != 0) return i - 16 + 32 - static_cast<size_t>(__builtin_clz(hits));
    }
#endif
    for (; i > from; --i) {
        if (p[i - 1] <= top) return i;
    }
    return from;
}

// The same over UTF-16 code units (highest < 0x8000).
inline size_t FindLastUnitAtMost(const char16_t* p, size_t from, size_t end, char16_t highest) {
    size_t i = end;
    for (; i > from; --i) {
        if (p[i - 1] <= highest) return i;
    }
    return from;
}

} // namespace scan
