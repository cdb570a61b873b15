#include "rewrap/RewrapMail.h"

#include <algorithm>
#include <limits>

#include "rewrap/Scan.h"
#include "rewrap/WrapLine.h"

namespace {

constexpr size_t npos = std::u16string_view::npos;

// 0-based index of the first unit at or after `from` that is not in `set`,
// or npos.
size_t IndexOfFirstNotOf(std::u16string_view text, std::u16string_view set, size_t from) {
    if (set.empty()) return from < text.size() ? from : npos;
    // Letters lie above every quote character: most tests end at one compare.
    const char16_t highest = *std::max_element(set.begin(), set.end());
    for (size_t i = from; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c > highest || set.find(c) == npos) return i;
    }
    return npos;
}

size_t IndexOfLineFeed(std::u16string_view text, size_t from) {
    const size_t found = scan::FindUnit(text.data(), from, text.size(), u'\n');
    return found == text.size() ? npos : found;
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

void AppendRewrappedMail(std::u16string& out, std::u16string_view text, int32_t wrapWidth,
                         std::u16string_view lineEnd) {
    // Most mails grow only by the CRs added to LF line ends and by a few
    // continuation prefixes; one reservation spares most reallocations.
    out.reserve(out.size() + text.size() + text.size() / 16);
    size_t start = 0;
    for (;;) {
        const size_t lf = IndexOfLineFeed(text, start);
        size_t end = lf == npos ? text.size() : lf;
        while (end > start && text[end - 1] == u'\r') --end;
        const std::u16string_view line = text.substr(start, end - start);

        const size_t quoteEnd = IndexOfFirstNotOf(line, QuoteChars, 0);
        // A line of quote characters only has no prefix to repeat, and one
        // unit less of width.
        const int64_t width = quoteEnd == npos ? int64_t{wrapWidth} - 1
                                               : static_cast<int64_t>(quoteEnd) + wrapWidth;
        const std::u16string_view prefix =
            quoteEnd == npos ? std::u16string_view() : line.substr(0, quoteEnd);
        AppendWrappedLine(out, line, width, HardLineLimit, BreakChars, lineEnd, prefix);

        if (lf == npos) return;
        out.append(lineEnd);
        start = lf + 1;
    }
}

std::u16string RewrapMail(std::u16string_view text) {
    std::u16string out;
    AppendRewrappedMail(out, text, WrapWidth, u"\r\n");
    return out;
}
