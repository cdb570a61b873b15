// Breaking one over-long line into pieces that fit a width.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Breaks `text` into pieces of at most `width` code units (the prefix
// included), cutting after the last character of `breaks` that lies within
// the width. Every piece but the last is followed by `newline`; every piece
// after the first starts with `prefix`. Spaces at the end of a piece and at the
// start of the next one are dropped. A piece without a break character runs on
// to the next break character; `hardLimit` > 0 ends it there at the latest
// (unless that would cut inside the prefix), 0 lets it run, < 0 cuts it at
// `width` exactly. Searches never look inside the first `prefix.size()` units.
// Runs in time linear in the size of `text` and of the result.
//
// Example: WrapLine(u"aaa bbb ccc ddd", 8, 998, u" \t", u"\r\n", u"")
//          == u"aaa bbb\r\nccc ddd"
[[nodiscard]] std::u16string WrapLine(std::u16string_view text, int32_t width, int32_t hardLimit,
                                      std::u16string_view breaks, std::u16string_view newline,
                                      std::u16string_view prefix);

// Takes a long line's result away as it is made: once the result holds
// `units` code units (bytes in UTF-8) or more after a piece, `send` may send
// and clear it (its `context` knows where it is); false from it stops the
// wrapping.
struct WrapSink {
    size_t units = 0;
    bool (*send)(void* context) = nullptr;
    void* context = nullptr;
};

// As WrapLine, appending the result to `out` instead of returning it, and with
// a width that may exceed 32 bits; a `sink` may take it away as it grows.
// False only when the sink stopped it.
bool AppendWrappedLine(std::u16string& out, std::u16string_view text, int64_t width,
                       int64_t hardLimit, std::u16string_view breaks, std::u16string_view newline,
                       std::u16string_view prefix, const WrapSink* sink = nullptr);

// As AppendWrappedLine for a line of valid UTF-8 (with `breaks`, `prefix`,
// `newline` and the line's own first prefix.size() bytes in ASCII), where
// positions are bytes while the width and the hard limit still count UTF-16
// code units, as on the clipboard: the result is the UTF-8 form of
// AppendWrappedLine's, given to `sink` (if any) as it grows. False when the
// sink stopped it, or, before anything is written, when a piece could hold
// half of a character above U+FFFF, which UTF-8 cannot (`hardLimit` < 0, or
// one unit greater than the prefix, and such a character in the line).
//
// Example: AppendWrappedUtf8Line(out, "äää ööö", 3, 998, u" ", "\n", "") appends "äää\nööö"
[[nodiscard]] bool AppendWrappedUtf8Line(std::string& out, std::string_view text, int64_t width,
                                         int64_t hardLimit, std::u16string_view breaks,
                                         std::string_view newline, std::string_view prefix,
                                         const WrapSink* sink = nullptr);
