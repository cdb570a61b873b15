// Fuzzing the line wrapper with any text and any parameters.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/Utf.h"
#include "fuzz/FuzzCheck.h"
#include "rewrap/WrapLine.h"

namespace {

std::u16string WithoutSpaces(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c != u' ') out += c;
    }
    return out;
}

bool IsAscii(std::u16string_view text) {
    for (char16_t c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

// Where the UTF-8 line wrapper applies (break characters and prefix in
// ASCII, and the text's own head as long as the prefix), it gives the UTF-8
// form of the same result whenever it gives one.
void CheckUtf8(std::u16string_view text, int32_t width, int32_t hardLimit,
               std::u16string_view breaks, std::u16string_view prefix) {
    if (!IsAscii(breaks) || !IsAscii(prefix)) return;
    const std::string text8 = Utf16ToUtf8String(text);
    const std::u16string valid = Utf8ToUtf16String(text8);
    if (!IsAscii(std::u16string_view(valid).substr(0, prefix.size()))) return;
    const std::string prefix8 = Utf16ToUtf8String(prefix);
    std::string out8;
    if (!AppendWrappedUtf8Line(out8, text8, width, hardLimit, breaks, "\x01", prefix8)) return;
    Check(out8 == Utf16ToUtf8String(WrapLine(valid, width, hardLimit, breaks, u"\x01", prefix)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    // Parameters first, then the prefix, the break characters and the text.
    const int32_t width = static_cast<int8_t>(data[0]) * (data[1] % 8 + 1);
    const int32_t hardLimit = static_cast<int8_t>(data[2]) * (data[3] % 8 + 1);
    const size_t prefixLen = data[4] % 6;
    const size_t breakCount = data[5] % 4;
    data += 6;
    size -= 6;
    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        // U+0001 is kept for the line end, so that pieces can be told apart.
        char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 1) unit = u' ';
        if ((unit & 0xFF) == 0xF0) unit = u' ';
        units += unit;
    }
    const std::u16string prefix = units.substr(0, std::min(prefixLen, units.size()));
    const std::u16string breaks =
        units.substr(prefix.size(), std::min(breakCount, units.size() - prefix.size())) + u" ";
    const std::u16string text = units.substr(
        prefix.size() + breakCount > units.size() ? units.size() : prefix.size() + breakCount);
    const std::u16string out = WrapLine(text, width, hardLimit, breaks, u"\x01", prefix);
    CheckUtf8(text, width, hardLimit, breaks, prefix);

    if (width < static_cast<int32_t>(prefix.size()) + 1 ||
        static_cast<int64_t>(text.size()) <= width) {
        Check(out == text);
        return 0;
    }
    // Pieces after the first carry the prefix and never start with a space
    // behind it; without those prefixes and the spaces, nothing is lost.
    std::u16string joined;
    size_t start = 0;
    for (bool first = true;; first = false) {
        size_t end = out.find(u'\x01', start);
        const bool last = end == std::u16string::npos;
        if (last) end = out.size();
        std::u16string_view piece = std::u16string_view(out).substr(start, end - start);
        if (!first && !(last && piece.empty())) {
            Check(piece.substr(0, prefix.size()) == prefix);
            piece.remove_prefix(prefix.size());
            Check(piece.empty() || piece[0] != u' ');
        }
        joined += piece;
        if (last) break;
        start = end + 1;
    }
    Check(WithoutSpaces(joined) == WithoutSpaces(text));
    return 0;
}
