// The command-line filter: standard input re-wrapped to standard output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rewrap/WrapLine.h"

struct FilterOptions {
    bool utf16le = false; // raw UTF-16LE code units in and out, instead of UTF-8
    bool check = false;   // write nothing; only tell whether re-wrapping changes the text
    bool lf = false;      // end output lines with LF instead of CR LF
    int32_t width = 70;   // width after the quote prefix
};

// Exit codes of the filter.
inline constexpr int FilterUnchanged = 0; // done; with --check: nothing to re-wrap
inline constexpr int FilterChanged = 1;   // with --check: re-wrapping changes the text
inline constexpr int FilterFailed = 2;    // bad input or usage, or a failed read or write

// Reads `inFd` to its end and writes the re-wrapped text to `outFd`, holding
// memory to a few chunks and the longest line. On failure returns
// FilterFailed with a one-line message in `error`; output held back until
// then is dropped, and output already written to a regular file is cut off
// again, so that bad input leaves nothing behind.
//
// Example: RunFilter({}, 0, 1, error) == FilterUnchanged
[[nodiscard]] int RunFilter(const FilterOptions& options, int inFd, int outFd, std::string& error);

// Parses the command line into `options`. Returns -1 to go on, or the exit
// code to end with at once; `out` and `err` receive what to print.
//
// Example: ParseFilterArgs({"ostrel-wrap", "--width", "72"}, ...) == -1
[[nodiscard]] int ParseFilterArgs(int argc, const char* const* argv, FilterOptions& options,
                                  std::string& out, std::string& err);

// Re-wraps valid UTF-8 `text` to `width` after each quote prefix, appending
// UTF-8 to `out`: the UTF-8 form of what the engine makes of the text's
// UTF-16 form, with the line ends LF when `lf` is set and CR LF otherwise.
// A `sink` may take the result away as it grows; `sinkStopped` tells when
// it stopped the work. False only when it did.
//
// Example: AppendRewrappedUtf8Text(out, "Grüße\n", 70, false) appends "Grüße\r\n"
[[nodiscard]] bool AppendRewrappedUtf8Text(std::string& out, std::string_view text, int32_t width,
                                           bool lf, const WrapSink* sink = nullptr,
                                           const bool* sinkStopped = nullptr);
