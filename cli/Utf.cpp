#include "cli/Utf.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Copies the run of ASCII bytes at the start of [p + i, p + n) to `dst` as
// code units; returns the new i and moves dst past what it wrote.
size_t CopyAsciiBytes(const uint8_t* p, size_t i, size_t n, char16_t*& dst) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16, dst += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (_mm_movemask_epi8(bytes) != 0) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    for (; i + 8 <= n; i += 8, dst += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080u) break;
        for (int k = 0; k < 8; ++k) dst[k] = p[i + k];
    }
    while (i < n && p[i] < 0x80) *dst++ = p[i++];
    return i;
}

// Copies the run of code units below U+0080 at the start of [src + i, src + n)
// to `dst` as bytes; returns the new i and moves dst past what it wrote.
size_t CopyAsciiUnits(const char16_t* src, size_t i, size_t n, char*& dst) {
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8, dst += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, high), zero)) != 0xFFFF) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(units, units));
    }
#endif
    while (i < n && src[i] < 0x80) *dst++ = static_cast<char>(src[i++]);
    return i;
}

// Whether the 64 bytes at `p` are ASCII and two-byte sequences only, given
// whether the byte before them began a sequence (`pairOpen`), which is then
// set for the next 64. Their start need not be a character's.
bool AsciiAndPairs(const uint8_t* p, bool& pairOpen) {
#if defined(__SSE2__)
    const __m128i c2 = _mm_set1_epi8(static_cast<char>(0xC2));
    const __m128i top = _mm_set1_epi8(0x1D);
    const __m128i c0 = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i zero = _mm_setzero_si128();
    __m128i firstsBefore = _mm_insert_epi16(zero, pairOpen ? 0xFF00 : 0, 7);
    __m128i wrong = zero;
    for (int block = 0; block < 4; ++block) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * block));
        // 0xC2 to 0xDF begin a pair, 0x80 to 0xBF (below -64 as signed) continue one.
        const __m128i firsts = _mm_cmpeq_epi8(_mm_max_epu8(_mm_sub_epi8(bytes, c2), top), top);
        const __m128i seconds = _mm_cmplt_epi8(bytes, c0);
        const __m128i high = _mm_cmplt_epi8(bytes, zero);
        // A continuation byte stands exactly where the byte before began a pair,
        // and every byte above 0x7F is one or the other.
        const __m128i follows =
            _mm_or_si128(_mm_slli_si128(firsts, 1), _mm_srli_si128(firstsBefore, 15));
        wrong = _mm_or_si128(wrong, _mm_xor_si128(seconds, follows));
        wrong = _mm_or_si128(wrong, _mm_andnot_si128(_mm_or_si128(firsts, seconds), high));
        firstsBefore = firsts;
    }
    if (_mm_movemask_epi8(wrong) != 0) return false;
    pairOpen = (_mm_movemask_epi8(firstsBefore) & 0x8000) != 0;
    return true;
#else
    (void)p;
    (void)pairOpen;
    return false;
#endif
}

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// Decodes one sequence at p: its length, 0 when the `avail` bytes are a valid
// but incomplete start, -1 when they are invalid.
int DecodeOne(const uint8_t* p, size_t avail, char32_t& cp) {
    const uint8_t b0 = p[0];
    int len = 0;
    uint8_t lo = 0x80, hi = 0xBF; // the range of the second byte
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0; // overlong
        if (b0 == 0xED) hi = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90; // overlong
        if (b0 == 0xF4) hi = 0x8F; // above U+10FFFF
    } else {
        return -1;
    }
    for (int i = 1; i < len; ++i) {
        if (static_cast<size_t>(i) >= avail) return 0;
        const uint8_t b = p[i];
        if (i == 1 ? (b < lo || b > hi) : !IsContinuation(b)) return -1;
        cp = (cp << 6) | (b & 0x3F);
    }
    return len;
}

char16_t* PutCodePoint(char32_t cp, char16_t* dst) {
    if (cp < 0x10000) {
        *dst++ = static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        *dst++ = static_cast<char16_t>(0xD800 + (cp >> 10));
        *dst++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
    return dst;
}

} // namespace

size_t Utf8ValidLength(std::string_view bytes, bool& invalid) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t n = bytes.size();
    invalid = false;
    size_t i = 0;
    bool pairOpen = false; // the byte before i began a two-byte sequence
    while (i < n) {
        // Sixty-four bytes at a time while they hold nothing beyond ASCII and
        // the two-byte sequences of accented letters; the rest one by one,
        // from the start of the character at hand.
        if (n - i >= 64 && AsciiAndPairs(p + i, pairOpen)) {
            i += 64;
            continue;
        }
        if (pairOpen) --i;
        pairOpen = false;
        const size_t stop = i + 64;
        while (i < stop && i < n) {
            if (p[i] < 0x80) {
                ++i;
                continue;
            }
            char32_t cp = 0;
            const int r = DecodeOne(p + i, n - i, cp);
            if (r <= 0) {
                invalid = r < 0;
                return i;
            }
            i += static_cast<size_t>(r);
        }
    }
    // A pair begun in the last byte waits for the next bytes to finish it.
    return pairOpen ? i - 1 : i;
}

size_t Utf8ToUtf16(std::string_view bytes, char16_t* dst) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t n = bytes.size();
    char16_t* const begin = dst;
    size_t i = 0;
    while (i < n) {
        i = CopyAsciiBytes(p, i, n, dst);
        if (i == n) break;
        char32_t cp = 0;
        const int r = DecodeOne(p + i, n - i, cp);
        if (r <= 0) break; // not valid after all: stop rather than read beyond
        dst = PutCodePoint(cp, dst);
        i += static_cast<size_t>(r);
    }
    return static_cast<size_t>(dst - begin);
}

size_t Utf16ToUtf8(std::u16string_view text, char* dst) {
    // At most three bytes per unit; a pair of units gives four.
    const size_t n = text.size();
    char* const begin = dst;
    const char16_t* src = text.data();
    for (size_t i = 0; i < n;) {
        i = CopyAsciiUnits(src, i, n, dst);
        if (i == n) break;
        char32_t c = src[i++];
        if (c >= 0xD800 && c <= 0xDFFF) {
            const bool paired = c <= 0xDBFF && i < n && src[i] >= 0xDC00 && src[i] <= 0xDFFF;
            c = paired ? 0x10000 + ((c - 0xD800) << 10) + (src[i++] - 0xDC00) : 0xFFFD;
        }
        if (c < 0x800) {
            *dst++ = static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *dst++ = static_cast<char>(0xE0 | (c >> 12));
            *dst++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            *dst++ = static_cast<char>(0xF0 | (c >> 18));
            *dst++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *dst++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *dst++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return static_cast<size_t>(dst - begin);
}

void Utf16ToUtf16le(std::u16string_view text, char* dst) {
    for (size_t i = 0; i < text.size(); ++i) {
        dst[2 * i] = static_cast<char>(text[i] & 0xFF);
        dst[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
}

void Utf16leToUtf16(std::string_view bytes, char16_t* dst) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    for (size_t i = 0; i < bytes.size() / 2; ++i) {
        dst[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    }
}

std::string Utf16ToUtf8String(std::u16string_view text) {
    std::string out(3 * text.size(), '\0');
    out.resize(Utf16ToUtf8(text, out.data()));
    return out;
}

std::u16string Utf8ToUtf16String(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    out.resize(Utf8ToUtf16(bytes, out.data()));
    return out;
}

std::string Utf16ToUtf16leString(std::u16string_view text) {
    std::string out(2 * text.size(), '\0');
    Utf16ToUtf16le(text, out.data());
    return out;
}
