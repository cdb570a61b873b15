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

// Decodes `bytes`, the next chunk of a UTF-8 stream, appending UTF-16 code
// units to `out`. Returns false at the first invalid sequence, with the byte
// offset of its first byte in the whole stream in `errorOffset`. Overlong
// forms, encoded surrogates and values above U+10FFFF are invalid.
//
// Example: Utf8DecodeAppend(d, "\xC3\xA4", out, off) appends u"\u00E4"
[[nodiscard]] bool Utf8DecodeAppend(Utf8Decoder& decoder, std::string_view bytes,
                                    std::u16string& out, uint64_t& errorOffset);

// Ends the stream: false when it stopped inside a sequence.
[[nodiscard]] bool Utf8DecodeFinish(const Utf8Decoder& decoder, uint64_t& errorOffset);

// Appends `text` as UTF-8; a lone surrogate becomes U+FFFD, as UTF-8 cannot
// hold it.
//
// Example: Utf16AppendUtf8(u"\u00E4", out) appends "\xC3\xA4"
void Utf16AppendUtf8(std::u16string_view text, std::string& out);

// Appends `text` as raw UTF-16LE bytes, any code units at all.
void Utf16AppendUtf16le(std::u16string_view text, std::string& out);

// Appends the code units of raw UTF-16LE bytes; `bytes` must be of even size.
void Utf16leDecodeAppend(std::string_view bytes, std::u16string& out);
