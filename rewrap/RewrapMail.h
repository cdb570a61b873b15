// Re-wrapping a whole mail text, line by line, keeping each line's quote prefix.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rewrap/WrapLine.h"

// Characters a line may hold after its quote prefix.
inline constexpr int32_t WrapWidth = 70;
// The longest line, prefix included, that a run without a break may fill
// before it is cut: the line-length limit of RFC 5322 without its CRLF.
inline constexpr int32_t HardLineLimit = 998;
// Where a line may be broken: space and horizontal tab.
inline constexpr std::u16string_view BreakChars = u" \t";
// What a quote prefix is made of: ">", "|", space and horizontal tab.
inline constexpr std::u16string_view QuoteChars = u">| \t";

// The 1-based position of the first code unit of `text` at or after `start`
// that is not in `set`; 0 when there is none or `start` is not a position of
// `text`.
//
// Example: FindFirstNotOf(u">> hi", u">| \t", 1) == 4
[[nodiscard]] int32_t FindFirstNotOf(std::u16string_view text, std::u16string_view set,
                                     int32_t start);

// Re-wraps every line of `text` (lines end at LF; the CRs right before an LF
// or at the very end belong to the line end) to WrapWidth after its quote
// prefix, repeating the prefix on every continuation line; every line end of
// the result is CR LF. The result equals `text` exactly when every LF follows
// a single CR, `text` does not end with a CR, and no line needs wrapping.
//
// Example: RewrapMail(u"one\ntwo") == u"one\r\ntwo"
[[nodiscard]] std::u16string RewrapMail(std::u16string_view text);

// As RewrapMail, with the width after the prefix and the line end chosen by
// the caller, appending to `out`, which `sink` (if any) may take away as it
// grows. The hard limit stays HardLineLimit. False only when the sink
// stopped it.
//
// Example: AppendRewrappedMail(out, u"a b\n", 70, u"\n") appends u"a b\n"
bool AppendRewrappedMail(std::u16string& out, std::u16string_view text, int32_t wrapWidth,
                         std::u16string_view lineEnd, const WrapSink* sink = nullptr);

// As AppendRewrappedMail for valid UTF-8 `text` and an ASCII `lineEnd`,
// appending UTF-8 to `out`, which `sink` (if any) may take away as it grows:
// widths still count UTF-16 code units, so the result is the UTF-8 form of
// AppendRewrappedMail's. Returns how many bytes of `text` it re-wrapped: all
// of them, or those before the line where the sink stopped it, or before the
// first line whose result UTF-8 might not hold (half of a character above
// U+FFFF, possible only after a quote prefix of 997 units), of which nothing
// is written; the caller re-wraps that line in UTF-16.
//
// Example: AppendRewrappedUtf8Mail(out, "Grüße\n", 70, "\r\n") appends "Grüße\r\n", returns 8
[[nodiscard]] size_t AppendRewrappedUtf8Mail(std::string& out, std::string_view text,
                                             int32_t wrapWidth, std::string_view lineEnd,
                                             const WrapSink* sink = nullptr);
