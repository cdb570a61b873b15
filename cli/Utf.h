// UTF-8 and UTF-16LE conversions for the command-line filter, streaming.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The length of the longest head of `bytes` that is valid UTF-8 and ends
// between sequences: all of them, or up to an invalid sequence (`invalid` set)
// or to an incomplete one at the very end, which the next bytes may finish.
// Overlong forms, encoded surrogates and values above U+10FFFF are invalid.
//
// Example: Utf8ValidLength("a\xC3", invalid) == 1, invalid == false
[[nodiscard]] size_t Utf8ValidLength(std::string_view bytes, bool& invalid);

// Decodes valid UTF-8 into UTF-16 code units at `dst`, which has room for
// bytes.size() of them, and returns the number written.
//
// Example: Utf8ToUtf16("\xC3\xA4", dst) == 1, dst holds u"\u00E4"
[[nodiscard]] size_t Utf8ToUtf16(std::string_view bytes, char16_t* dst);

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
[[nodiscard]] std::u16string Utf8ToUtf16String(std::string_view bytes);
[[nodiscard]] std::string Utf16ToUtf16leString(std::u16string_view text);
