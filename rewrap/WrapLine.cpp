#include "rewrap/WrapLine.h"

#include <algorithm>

#include "rewrap/Scan.h"

namespace {

constexpr size_t npos = std::u16string_view::npos;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Walks the line forward exactly once, however many pieces are cut from it,
// so that long lines cost linear time: it remembers the highest break
// character below `next`. Both searches of a cut are answered from it.
struct BreakScanner {
    std::u16string_view text;
    std::u16string_view breaks;
    char16_t highestBreak = 0; // quick rejection of letters, which lie above " \t"
    uint64_t lowBreaks = 0;    // bit c set when unit c < 64 is a break
    size_t next = 0;           // first index not yet looked at
    size_t lastBreak = npos;   // highest index below `next` that holds a break
};

bool IsBreak(const BreakScanner& scan, char16_t c) {
    if (c > scan.highestBreak) return false;
    if (c < 64) return (scan.lowBreaks >> c) & 1;
    return scan.breaks.find(c) != npos;
}

void BreakScannerInit(BreakScanner& scan, std::u16string_view text, std::u16string_view breaks,
                      size_t start) {
    scan.text = text;
    scan.breaks = breaks;
    scan.highestBreak = breaks.empty() ? 0 : *std::max_element(breaks.begin(), breaks.end());
    scan.lowBreaks = 0;
    for (char16_t c : breaks) {
        if (c < 64) scan.lowBreaks |= uint64_t{1} << c;
    }
    scan.next = start;
    scan.lastBreak = npos;
}

// Most units are letters above every break character: those are skipped four
// at a time, and only the few low ones are tested against the set.
size_t BreakScannerSkipLetters(const BreakScanner& scan, size_t from, size_t end) {
    if (scan.highestBreak < 0x8000) {
        return scan::FindUnitAtMost(scan.text.data(), from, end, scan.highestBreak);
    }
    return from;
}

// Everything below `from` is behind the cutting for good: forget it.
void BreakScannerDropBelow(BreakScanner& scan, size_t from) {
    if (scan.next >= from) return;
    scan.next = from;
    scan.lastBreak = npos;
}

// The highest break in [from, end), or npos; neither bound ever decreases.
// In text the last break of a window lies a word's length below its end, so
// the search goes backward from the end, and stops at what is known already.
// When an earlier forward search has looked beyond `end`, the cutting has
// only moved through text known to hold no break up to `lastBreak`.
size_t BreakScannerFindLast(BreakScanner& scan, size_t from, size_t end) {
    BreakScannerDropBelow(scan, from);
    if (scan.next >= end) {
        const bool inside = scan.lastBreak != npos && scan.lastBreak >= from && scan.lastBreak < end;
        return inside ? scan.lastBreak : npos;
    }
    for (size_t i = end; i > scan.next;) {
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
size_t BreakScannerFindNext(BreakScanner& scan, size_t from) {
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

} // namespace

void AppendWrappedLine(std::u16string& out, std::u16string_view text, int64_t width,
                       int64_t hardLimit, std::u16string_view breaks, std::u16string_view newline,
                       std::u16string_view prefix) {
    const auto prefixLen = static_cast<int64_t>(prefix.size());
    if (width < prefixLen + 1 || static_cast<int64_t>(text.size()) <= width) {
        out.append(text);
        return;
    }
    // The text being cut is always a head of prefixLen units followed by a
    // body: the line's own first units for the first piece, `prefix` for
    // every later one, and the body is always the rest of `text` from
    // bodyStart. Searches look only at the body, width - prefixLen units of it.
    const size_t n = text.size();
    const auto window = static_cast<size_t>(width - prefixLen);
    std::u16string_view head = text.substr(0, prefix.size());
    size_t bodyStart = prefix.size();
    BreakScanner scan;
    BreakScannerInit(scan, text, breaks, bodyStart);

    while (n - bodyStart > window) {
        const size_t windowEnd = bodyStart + window;
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
            const auto pieceLen = prefixLen + static_cast<int64_t>(cutEnd - bodyStart);
            if (hardLimit > prefixLen && hardLimit < pieceLen) {
                cutEnd = bodyStart + static_cast<size_t>(hardLimit - prefixLen);
                // Keep a character above U+FFFF whole rather than mangle both halves.
                if (cutEnd - 1 > bodyStart && IsHighSurrogate(text[cutEnd - 1]) &&
                    IsLowSurrogate(text[cutEnd])) {
                    --cutEnd;
                }
            }
        }
        const size_t mark = out.size();
        out.append(head);
        out.append(text.substr(bodyStart, cutEnd - bodyStart));
        while (out.size() > mark && out.back() == u' ') out.pop_back();
        out.append(newline);

        bodyStart = cutEnd;
        while (bodyStart < n && text[bodyStart] == u' ') ++bodyStart;
        if (bodyStart == n) return;
        head = prefix;
    }
    out.append(head);
    out.append(text.substr(bodyStart));
}

std::u16string WrapLine(std::u16string_view text, int32_t width, int32_t hardLimit,
                        std::u16string_view breaks, std::u16string_view newline,
                        std::u16string_view prefix) {
    std::u16string out;
    AppendWrappedLine(out, text, width, hardLimit, breaks, newline, prefix);
    return out;
}
