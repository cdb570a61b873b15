// UTF-8 and UTF-16LE conversions for the command-line filter, streaming.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Carries an incomplete UTF-8 sequence from one chunk of input to the next.
struct Utf8Decoder {
    uint8_t pending[4] = {};
    int pendingLen = 0;
    uint64_t offset = 0; // bytes of input taken so far
};

// Decodes `bytes`, the next chunk of a UTF-8 stream, into UTF-16 code units
// at `dst`, which has room for bytes.size() + 2 of them; `written` tells how
// many. Returns false at the first invalid sequence, with the byte offset of
// its first byte in the whole stream in `errorOffset`. Overlong forms, encoded
// surrogates and values above U+10FFFF are invalid.
//
// Example: Utf8Decode(d, "\xC3\xA4", dst, n, off) writes u"\u00E4", n == 1
[[nodiscard]] bool Utf8Decode(Utf8Decoder& decoder, std::string_view bytes, char16_t* dst,
                              size_t& written, uint64_t& errorOffset);

// Ends the stream: false when it stopped inside a sequence.
[[nodiscard]] bool Utf8DecodeFinish(const Utf8Decoder& decoder, uint64_t& errorOffset);

// Writes `text` as UTF-8 to `dst`, which has room for 3 * text.size() bytes,
// and returns the number written; a lone surrogate becomes U+FFFD, as UTF-8
// cannot hold it.
//
// Example: Utf16ToUtf8(u"\u00E4", dst) == 2, dst holds "\xC3\xA4"
[[nodiscard]] size_t Utf16ToUtf8(std::u16string_view text, char* dst);

// Writes `text` as raw UTF-16LE bytes, any code units at all, to `dst`, which
// has room for 2 * text.size() bytes.
void Utf16ToUtf16le(std::u16string_view text, char* dst);

// Writes the code units of raw UTF-16LE bytes (an even number) to `dst`.
void Utf16leToUtf16(std::string_view bytes, char16_t* dst);

// The conversions into strings, where speed does not matter.
[[nodiscard]] std::string Utf16ToUtf8String(std::u16string_view text);
[[nodiscard]] std::string Utf16ToUtf16leString(std::u16string_view text);
