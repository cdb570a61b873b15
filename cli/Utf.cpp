#include "cli/Utf.h"

#include <cstring>

namespace {

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

void AppendCodePoint(char32_t cp, std::u16string& out) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

} // namespace

bool Utf8DecodeAppend(Utf8Decoder& decoder, std::string_view bytes, std::u16string& out,
                      uint64_t& errorOffset) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    if (decoder.pendingLen > 0) {
        // Finish the sequence that the previous chunk broke off.
        uint8_t joined[4];
        std::memcpy(joined, decoder.pending, static_cast<size_t>(decoder.pendingLen));
        const size_t had = static_cast<size_t>(decoder.pendingLen);
        const size_t take = n < 4 - had ? n : 4 - had;
        std::memcpy(joined + had, p, take);
        char32_t cp = 0;
        const int r = DecodeOne(joined, had + take, cp);
        if (r < 0) {
            errorOffset = decoder.offset - had;
            return false;
        }
        if (r == 0) { // still incomplete: the chunk was too short
            std::memcpy(decoder.pending + had, p, take);
            decoder.pendingLen += static_cast<int>(take);
            decoder.offset += take;
            return true;
        }
        AppendCodePoint(cp, out);
        i = static_cast<size_t>(r) - had;
        decoder.pendingLen = 0;
    }
    out.reserve(out.size() + (n - i));
    while (i < n) {
        while (i < n && p[i] < 0x80) out.push_back(static_cast<char16_t>(p[i++]));
        if (i == n) break;
        char32_t cp = 0;
        const int r = DecodeOne(p + i, n - i, cp);
        if (r < 0) {
            errorOffset = decoder.offset + i;
            return false;
        }
        if (r == 0) {
            decoder.pendingLen = static_cast<int>(n - i);
            std::memcpy(decoder.pending, p + i, n - i);
            break;
        }
        AppendCodePoint(cp, out);
        i += static_cast<size_t>(r);
    }
    decoder.offset += n;
    return true;
}

bool Utf8DecodeFinish(const Utf8Decoder& decoder, uint64_t& errorOffset) {
    if (decoder.pendingLen == 0) return true;
    errorOffset = decoder.offset - static_cast<uint64_t>(decoder.pendingLen);
    return false;
}

void Utf16AppendUtf8(std::u16string_view text, std::string& out) {
    out.reserve(out.size() + text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            const bool paired = c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
                                text[i + 1] <= 0xDFFF;
            if (paired) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            } else {
                c = 0xFFFD;
            }
        }
        if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void Utf16AppendUtf16le(std::u16string_view text, std::string& out) {
    const size_t at = out.size();
    out.resize(at + text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        out[at + 2 * i] = static_cast<char>(text[i] & 0xFF);
        out[at + 2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
}

void Utf16leDecodeAppend(std::string_view bytes, std::u16string& out) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t units = bytes.size() / 2;
    const size_t at = out.size();
    out.resize(at + units);
    for (size_t i = 0; i < units; ++i) {
        out[at + i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    }
}
