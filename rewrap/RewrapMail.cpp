#include "rewrap/RewrapMail.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "rewrap/Scan.h"
#include "rewrap/WrapLine.h"

namespace {

constexpr size_t npos = std::u16string_view::npos;

// 0-based index of the first unit at or after `from` that is not in `set`,
// or npos.
template <typename Char>
size_t IndexOfFirstNotOf(std::basic_string_view<Char> text, std::u16string_view set, size_t from) {
    if (set.empty()) return from < text.size() ? from : npos;
    // Letters lie above every quote character: most tests end at one compare.
    const uint32_t highest = *std::max_element(set.begin(), set.end());
    for (size_t i = from; i < text.size(); ++i) {
        const uint32_t c = scan::UnitValue(text[i]);
        if (c > highest || set.find(static_cast<char16_t>(c)) == npos) return i;
    }
    return npos;
}

size_t IndexOfLineFeed(std::u16string_view text, size_t from) {
    const size_t found = scan::FindUnit(text.data(), from, text.size(), u'\n');
    return found == text.size() ? npos : found;
}

size_t IndexOfLineFeed(std::string_view text, size_t from) {
    if (from >= text.size()) return npos;
    const void* found = std::memchr(text.data() + from, '\n', text.size() - from);
    return found == nullptr ? npos
                            : static_cast<size_t>(static_cast<const char*>(found) - text.data());
}

bool AppendLine(std::u16string& out, std::u16string_view line, int64_t width,
                std::u16string_view lineEnd, std::u16string_view prefix, const WrapSink* sink) {
    return AppendWrappedLine(out, line, width, HardLineLimit, BreakChars, lineEnd, prefix, sink);
}

bool AppendLine(std::string& out, std::string_view line, int64_t width, std::string_view lineEnd,
                std::string_view prefix, const WrapSink* sink) {
    return AppendWrappedUtf8Line(out, line, width, HardLineLimit, BreakChars, lineEnd, prefix,
                                 sink);
}

// Re-wraps the lines of `text` onto `out` and returns how much of `text` it
// took: all of it, or the part before the line where it stopped.
template <typename Char>
size_t AppendRewrapped(std::basic_string<Char>& out, std::basic_string_view<Char> text,
                       int32_t wrapWidth, std::basic_string_view<Char> lineEnd,
                       const WrapSink* sink) {
    // Most mails grow only by the CRs added to LF line ends and by a few
    // continuation prefixes; one reservation spares most reallocations.
    out.reserve(out.size() + text.size() + text.size() / 16);
    size_t start = 0;
    for (;;) {
        const size_t lf = IndexOfLineFeed(text, start);
        size_t end = lf == npos ? text.size() : lf;
        while (end > start && text[end - 1] == Char{'\r'}) --end;
        const std::basic_string_view<Char> line = text.substr(start, end - start);

        const size_t quoteEnd = IndexOfFirstNotOf(line, QuoteChars, 0);
        // A line of quote characters only has no prefix to repeat, and one
        // unit less of width.
        const int64_t width =
            quoteEnd == npos ? int64_t{wrapWidth} - 1 : static_cast<int64_t>(quoteEnd) + wrapWidth;
        const std::basic_string_view<Char> prefix =
            quoteEnd == npos ? std::basic_string_view<Char>() : line.substr(0, quoteEnd);
        if (!AppendLine(out, line, width, lineEnd, prefix, sink)) return start;

        if (lf == npos) return text.size();
        out.append(lineEnd);
        start = lf + 1;
    }
}

} // namespace

int32_t FindFirstNotOf(std::u16string_view text, std::u16string_view set, int32_t start) {
    if (start < 1 || static_cast<size_t>(start) > text.size()) return 0;
    const size_t found = IndexOfFirstNotOf(text, set, static_cast<size_t>(start) - 1);
    if (found == npos || found >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        return 0;
    }
    return static_cast<int32_t>(found + 1);
}

bool AppendRewrappedMail(std::u16string& out, std::u16string_view text, int32_t wrapWidth,
                         std::u16string_view lineEnd, const WrapSink* sink) {
    return AppendRewrapped(out, text, wrapWidth, lineEnd, sink) == text.size();
}

size_t AppendRewrappedUtf8Mail(std::string& out, std::string_view text, int32_t wrapWidth,
                               std::string_view lineEnd, const WrapSink* sink) {
    return AppendRewrapped(out, text, wrapWidth, lineEnd, sink);
}

std::u16string RewrapMail(std::u16string_view text) {
    std::u16string out;
    (void)AppendRewrappedMail(out, text, WrapWidth, u"\r\n");
    return out;
}
