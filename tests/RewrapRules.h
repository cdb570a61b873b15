// When re-wrapping must leave a text exactly as it is, worked out from the
// text directly: shared by the unit tests and the fuzzer.
#pragma once

#include <string_view>

#include "rewrap/RewrapMail.h"

// Every LF follows a single CR, the text does not end with a CR, and every
// line holds at most 70 units after its quote prefix (69 in all when it is
// made of quote characters only).
inline bool NeedsNoRewrap(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n') continue;
        if (i < 1 || text[i - 1] != u'\r' || (i >= 2 && text[i - 2] == u'\r')) return false;
    }
    if (!text.empty() && text.back() == u'\r') return false;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(u'\n', start);
        const bool last = end == std::u16string_view::npos;
        if (last) end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        while (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        const size_t quote = line.find_first_not_of(QuoteChars);
        if (quote == std::u16string_view::npos) {
            if (line.size() > 69) return false;
        } else if (line.size() - quote > 70) {
            return false;
        }
        if (last) return true;
        start = end + 1;
    }
}
