#include "rewrap/WrapLine.h"

#include <algorithm>

#include "rewrap/Scan.h"

namespace {

constexpr size_t npos = std::u16string_view::npos;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// How far `units` UTF-16 code units reach in each kind of text. In UTF-16 a
// position is a unit. In UTF-8 a position is a byte, and the walk counts a
// character above U+FFFF as the two units it is on the clipboard; when the
// count ends between those two, the walk stops before the character, so that
// it ends short of `end` all the same.
size_t AdvanceUnits(const char16_t* /*text*/, size_t from, size_t end, size_t units) {
    return end - from > units ? from + units : end;
}

size_t AdvanceUnits(const char* text, size_t from, size_t end, size_t units) {
    const auto* p = reinterpret_cast<const uint8_t*>(text);
    size_t i = from;
    // Every character's units are counted at its first byte, so whole blocks
    // can be counted and passed even where they end inside a character.
    size_t count = 0;
    while (end - i >= scan::BlockBytes && (count = scan::CountUtf16Units(p + i)) <= units) {
        i += scan::BlockBytes;
        units -= count;
    }
    if (end - i >= scan::BlockBytes) {
        unsigned fours = 0;
        unsigned starts = scan::CharacterStarts(p + i, fours);
        if (fours == 0) {
            // One unit a character: the end is where character number
            // `units` (from 0) starts, fewer than 16 on.
            return i + scan::IndexOfSetBit(starts, units);
        }
    }
    for (; i < end; ++i) {
        const uint8_t b = p[i];
        if ((b & 0xC0) == 0x80) continue; // the rest of a character
        if (units == 0) return i;
        const size_t cost = b >= 0xF0 ? 2 : 1;
        if (cost > units) return i;
        units -= cost;
    }
    return end;
}

// Walks the line forward exactly once, however many pieces are cut from it,
// so that long lines cost linear time: it remembers the highest break
// character below `next`. Both searches of a cut are answered from it.
template <typename Char> struct BreakScanner {
    std::basic_string_view<Char> text;
    std::u16string_view breaks;
    uint32_t highestBreak = 0; // quick rejection of letters, which lie above " \t"
    uint64_t lowBreaks = 0;    // bit c set when unit c < 64 is a break
    bool pair = false;         // the breaks are `first` and `second`, both ASCII
    Char first{};
    Char second{};
    size_t next = 0;         // first index not yet looked at
    size_t lastBreak = npos; // highest index below `next` that holds a break
};

template <typename Char> bool IsBreak(const BreakScanner<Char>& scan, Char unit) {
    const uint32_t c = scan::UnitValue(unit);
    if (c > scan.highestBreak) return false;
    if (c < 64) return (scan.lowBreaks >> c) & 1;
    return scan.breaks.find(static_cast<char16_t>(c)) != npos;
}

template <typename Char>
void BreakScannerInit(BreakScanner<Char>& scan, std::basic_string_view<Char> text,
                      std::u16string_view breaks, size_t start) {
    scan.text = text;
    scan.breaks = breaks;
    scan.highestBreak = breaks.empty() ? 0 : *std::max_element(breaks.begin(), breaks.end());
    scan.lowBreaks = 0;
    for (char16_t c : breaks) {
        if (c < 64) scan.lowBreaks |= uint64_t{1} << c;
    }
    // Usually just space and tab: those are looked for exactly, so that
    // other low units such as CRs do not stop the search at every one.
    scan.pair = !breaks.empty() && breaks.size() <= 2 && scan.highestBreak < 0x80;
    if (scan.pair) {
        scan.first = static_cast<Char>(breaks.front());
        scan.second = static_cast<Char>(breaks.back());
    }
    scan.next = start;
    scan.lastBreak = npos;
}

// Most units are letters above every break character: those are skipped a
// word at a time, and only the few low ones are tested against the set.
template <typename Char>
size_t BreakScannerSkipLetters(const BreakScanner<Char>& scan, size_t from, size_t end) {
    if (scan.pair) return scan::FindEither(scan.text.data(), from, end, scan.first, scan.second);
    if (scan.highestBreak < 0x80) {
        return scan::FindUnitAtMost(scan.text.data(), from, end,
                                    static_cast<Char>(scan.highestBreak));
    }
    return from;
}

// Everything below `from` is behind the cutting for good: forget it.
template <typename Char> void BreakScannerDropBelow(BreakScanner<Char>& scan, size_t from) {
    if (scan.next >= from) return;
    scan.next = from;
    scan.lastBreak = npos;
}

// The highest break in [from, end), or npos; neither bound ever decreases.
// In text the last break of a window lies a word's length below its end, so
// the search goes backward from the end, and stops at what is known already.
// When an earlier forward search has looked beyond `end`, the cutting has
// only moved through text known to hold no break up to `lastBreak`.
template <typename Char>
size_t BreakScannerFindLast(BreakScanner<Char>& scan, size_t from, size_t end) {
    BreakScannerDropBelow(scan, from);
    if (scan.next >= end) {
        const bool inside =
            scan.lastBreak != npos && scan.lastBreak >= from && scan.lastBreak < end;
        return inside ? scan.lastBreak : npos;
    }
    const auto highest = static_cast<Char>(scan.highestBreak < 0x80 ? scan.highestBreak : 0x7F);
    for (size_t i = end; i > scan.next;) {
        // Units that cannot be breaks are passed a block at a time.
        if (scan.pair) {
            i = scan::FindLastEither(scan.text.data(), scan.next, i, scan.first, scan.second);
        } else if (scan.highestBreak < 0x80) {
            i = scan::FindLastUnitAtMost(scan.text.data(), scan.next, i, highest);
        }
        if (i == scan.next) break;
        --i;
        if (IsBreak(scan, scan.text[i])) {
            scan.lastBreak = i;
            break;
        }
    }
    scan.next = end;
    return scan.lastBreak != npos && scan.lastBreak >= from ? scan.lastBreak : npos;
}

// The first break at or after `from`, or npos. `from` never decreases from
// one call to the next, and everything below it has been looked at.
template <typename Char> size_t BreakScannerFindNext(BreakScanner<Char>& scan, size_t from) {
    BreakScannerDropBelow(scan, from);
    if (scan.lastBreak != npos && scan.lastBreak >= from) return scan.lastBreak;
    const size_t n = scan.text.size();
    if (scan.breaks.empty()) {
        scan.next = n;
        return npos;
    }
    while (scan.next < n) {
        scan.next = BreakScannerSkipLetters(scan, scan.next, n);
        if (scan.next == n) break;
        if (IsBreak(scan, scan.text[scan.next])) {
            scan.lastBreak = scan.next++;
            return scan.lastBreak;
        }
        ++scan.next;
    }
    return npos;
}

// Where a cut at the hard limit ends in UTF-16, a character above U+FFFF is
// kept whole rather than mangled in both halves, unless it is all the piece
// would hold. In UTF-8 the walk has already stopped before such a character,
// and the line was refused up front where a piece could hold half of it.
void KeepCharacterWhole(const char16_t* text, size_t bodyStart, size_t& cutEnd) {
    if (cutEnd - 1 > bodyStart && IsHighSurrogate(text[cutEnd - 1]) &&
        IsLowSurrogate(text[cutEnd])) {
        --cutEnd;
    }
}

void KeepCharacterWhole(const char* /*text*/, size_t /*bodyStart*/, size_t& /*cutEnd*/) {}

// Whether a piece of the UTF-8 `text` could end between the two halves of a
// character above U+FFFF: when pieces may be cut at the width exactly, or
// when the hard limit leaves one unit after the prefix.
bool PieceMaySplitCharacter(std::string_view text, int64_t hardLimit, int64_t prefixLen) {
    if (hardLimit >= 0 && hardLimit - prefixLen != 1) return false;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0xF0) return true;
    }
    return false;
}

// A long line's result may leave as it is made: after each piece, once
// `out` holds enough.
template <typename Char> bool SinkTake(const WrapSink* sink, const std::basic_string<Char>& out) {
    return sink == nullptr || out.size() < sink->units || sink->send(sink->context);
}

template <typename Char>
bool AppendWrapped(std::basic_string<Char>& out, std::basic_string_view<Char> text, int64_t width,
                   int64_t hardLimit, std::u16string_view breaks,
                   std::basic_string_view<Char> newline, std::basic_string_view<Char> prefix,
                   const WrapSink* sink) {
    const auto prefixLen = static_cast<int64_t>(prefix.size());
    if (width < prefixLen + 1 || static_cast<int64_t>(text.size()) <= width) {
        out.append(text);
        return true;
    }
    // The text being cut is always a head of prefixLen units followed by a
    // body: the line's own first units for the first piece, `prefix` for
    // every later one, and the body is always the rest of `text` from
    // bodyStart. Searches look only at the body, width - prefixLen units of it.
    const size_t n = text.size();
    const auto window = static_cast<size_t>(width - prefixLen);
    std::basic_string_view<Char> head = text.substr(0, prefix.size());
    size_t bodyStart = prefix.size();
    BreakScanner<Char> scan;
    BreakScannerInit(scan, text, breaks, bodyStart);

    for (;;) {
        const size_t windowEnd = AdvanceUnits(text.data(), bodyStart, n, window);
        if (windowEnd == n) break; // the rest fits
        const size_t last = BreakScannerFindLast(scan, bodyStart, windowEnd);
        size_t cutEnd = 0; // one past the last unit of the piece
        if (last != npos) {
            cutEnd = last + 1;
        } else if (hardLimit < 0) {
            cutEnd = windowEnd;
        } else {
            const size_t found = BreakScannerFindNext(scan, windowEnd);
            cutEnd = found == npos ? n : found + 1;
            // A limit at or inside the prefix would not shorten anything, as
            // the prefix comes back in front of the rest: the piece then runs on.
            if (hardLimit > prefixLen) {
                const auto limit = static_cast<size_t>(hardLimit - prefixLen);
                const size_t limitEnd = AdvanceUnits(text.data(), bodyStart, cutEnd, limit);
                if (limitEnd < cutEnd) {
                    cutEnd = limitEnd;
                    KeepCharacterWhole(text.data(), bodyStart, cutEnd);
                }
            }
        }
        // Spaces at the end of the piece go; only a piece of spaces alone
        // can reach back into the prefix.
        size_t pieceEnd = cutEnd;
        while (pieceEnd > bodyStart && text[pieceEnd - 1] == Char{' '}) --pieceEnd;
        const size_t mark = out.size();
        out.append(head);
        if (pieceEnd > bodyStart) {
            out.append(text.substr(bodyStart, pieceEnd - bodyStart));
        } else {
            while (out.size() > mark && out.back() == Char{' '}) out.pop_back();
        }
        out.append(newline);
        if (!SinkTake(sink, out)) return false;

        bodyStart = cutEnd;
        while (bodyStart < n && text[bodyStart] == Char{' '}) ++bodyStart;
        if (bodyStart == n) return true;
        head = prefix;
    }
    out.append(head);
    out.append(text.substr(bodyStart));
    return true;
}

} // namespace

bool AppendWrappedLine(std::u16string& out, std::u16string_view text, int64_t width,
                       int64_t hardLimit, std::u16string_view breaks, std::u16string_view newline,
                       std::u16string_view prefix, const WrapSink* sink) {
    return AppendWrapped(out, text, width, hardLimit, breaks, newline, prefix, sink);
}

bool AppendWrappedUtf8Line(std::string& out, std::string_view text, int64_t width,
                           int64_t hardLimit, std::u16string_view breaks, std::string_view newline,
                           std::string_view prefix, const WrapSink* sink) {
    const auto prefixLen = static_cast<int64_t>(prefix.size());
    if (static_cast<int64_t>(text.size()) > width && width >= prefixLen + 1 &&
        PieceMaySplitCharacter(text, hardLimit, prefixLen)) {
        return false;
    }
    return AppendWrapped(out, text, width, hardLimit, breaks, newline, prefix, sink);
}

std::u16string WrapLine(std::u16string_view text, int32_t width, int32_t hardLimit,
                        std::u16string_view breaks, std::u16string_view newline,
                        std::u16string_view prefix) {
    std::u16string out;
    (void)AppendWrappedLine(out, text, width, hardLimit, breaks, newline, prefix);
    return out;
}
