// Fuzzing the mail re-wrapper against what must hold for every text, rather
// than against a second implementation.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/Filter.h"
#include "cli/Utf.h"
#include "fuzz/FuzzCheck.h"
#include "rewrap/RewrapMail.h"
#include "tests/RewrapRules.h"

namespace {

bool IsQuote(char16_t c) { return QuoteChars.find(c) != std::u16string_view::npos; }
bool IsBreak(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string Kept(std::u16string_view text) {
    std::u16string kept;
    for (char16_t c : text) {
        if (!IsQuote(c) && c != u'\r' && c != u'\n') kept += c;
    }
    return kept;
}

void CheckLines(std::u16string_view out) {
    size_t start = 0;
    while (start <= out.size()) {
        size_t end = out.find(u"\r\n", start);
        if (end == std::u16string_view::npos) end = out.size();
        const std::u16string_view line = out.substr(start, end - start);
        size_t quote = 0;
        while (quote < line.size() && IsQuote(line[quote])) ++quote;
        if (line.size() > quote + 70) {
            // Too long only where no space or tab allowed a cut within the width.
            for (size_t i = quote; i < quote + 70; ++i) Check(!IsBreak(line[i]));
        }
        // Beyond 998 only where the prefix is that long, or where a space
        // within the width ended it: the limit never shortens such a cut.
        if (line.size() > 998) Check(quote >= 998 || line.size() <= quote + 70);
        start = end + 2;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Pairs of bytes are code units; a few bytes stand for the characters
    // that matter, so that short inputs reach long lines and quotes.
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        switch (unit & 0xFF) {
        case 0xF0:
            text += u' ';
            break;
        case 0xF1:
            text += u"\r\n";
            break;
        case 0xF2:
            text += u'>';
            break;
        case 0xF3:
            text.append(unit >> 8, u'x');
            break;
        case 0xF4:
            text.append(unit >> 8, u'>');
            break;
        default:
            text += unit;
        }
    }
    const std::u16string out = RewrapMail(text);
    Check(Kept(out) == Kept(text));
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == u'\n') Check(i > 0 && out[i - 1] == u'\r');
    }
    CheckLines(out);
    Check((out == text) == NeedsNoRewrap(text));

    // The UTF-8 engine gives the UTF-8 form of the same result (of the text
    // as UTF-8 can hold it: a lone surrogate becomes U+FFFD).
    const std::string text8 = Utf16ToUtf8String(text);
    const std::u16string valid = Utf8ToUtf16String(text8);
    std::string out8;
    Check(AppendRewrappedUtf8Text(out8, text8, WrapWidth, false));
    Check(out8 == Utf16ToUtf8String(RewrapMail(valid)));
    return 0;
}
