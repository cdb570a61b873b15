#include "cli/Filter.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/Utf.h"
#include "rewrap/RewrapMail.h"

namespace {

constexpr size_t ReadChunk = 1 << 20;
// Output is held back until this much input has passed, so that bad input in
// all but huge texts leaves nothing on standard output even through a pipe.
constexpr uint64_t HoldBackInput = 16u << 20;
constexpr size_t WriteChunk = 1 << 20;

constexpr std::string_view Usage =
    "usage: ostrel-wrap [--utf16le] [--check] [--lf] [--width N]\n"
    "Re-wraps a mail text from standard input to standard output: lines longer\n"
    "than N (default 70) after their quote prefix (\">\", \"|\", spaces, tabs) are\n"
    "broken at a space or tab, continuation lines repeat the prefix, a run without\n"
    "a space is cut at 998, and every line end becomes CR LF.\n"
    "  --utf16le   input and output are UTF-16LE code units (default UTF-8)\n"
    "  --check     write nothing; exit 0 if no line needs re-wrapping, 1 if one does\n"
    "  --lf        end output lines with LF instead of CR LF\n"
    "  --width N   width after the quote prefix, 1 to 998 (default 70)\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "Exit status: 0 done, 1 re-wrapping needed (--check), 2 bad input, bad usage\n"
    "or a failed write.\n";

std::string ErrnoText(const char* what) {
    return std::string("ostrel-wrap: ") + what + ": " + std::strerror(errno);
}

struct Output {
    int fd = -1;
    off_t startOffset = -1; // where a regular file began, to cut it back on failure
    bool streaming = false; // false while output is held back
    bool wroteAny = false;
    std::string bytes;
};

bool OutputWriteAll(Output& output, std::string& error) {
    const char* p = output.bytes.data();
    size_t left = output.bytes.size();
    while (left > 0) {
        const ssize_t n = write(output.fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = ErrnoText("write error");
            return false;
        }
        output.wroteAny = true;
        p += n;
        left -= static_cast<size_t>(n);
    }
    output.bytes.clear();
    return true;
}

void OutputDiscard(Output& output) {
    output.bytes.clear();
    if (output.wroteAny && output.startOffset >= 0) {
        if (ftruncate(output.fd, output.startOffset) == 0) {
            (void)lseek(output.fd, output.startOffset, SEEK_SET);
        }
    }
}

ssize_t ReadSome(int fd, char* buffer, size_t size) {
    for (;;) {
        const ssize_t n = read(fd, buffer, size);
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

bool ParseWidth(std::string_view s, int32_t& width) {
    if (s.empty() || s.size() > 4) return false;
    int32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > 998) return false;
    width = v;
    return true;
}

} // namespace

int ParseFilterArgs(int argc, const char* const* argv, FilterOptions& options, std::string& out,
                    std::string& err) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--utf16le") {
            options.utf16le = true;
        } else if (arg == "--check") {
            options.check = true;
        } else if (arg == "--lf") {
            options.lf = true;
        } else if (arg == "--width" || arg.substr(0, 8) == "--width=") {
            std::string_view value;
            if (arg == "--width") {
                if (i + 1 >= argc) {
                    err = std::string("ostrel-wrap: --width needs a number from 1 to 998\n");
                    err += Usage;
                    return FilterFailed;
                }
                value = argv[++i];
            } else {
                value = arg.substr(8);
            }
            if (!ParseWidth(value, options.width)) {
                err = "ostrel-wrap: bad width '" + std::string(value) +
                      "' (a number from 1 to 998)\n";
                err += Usage;
                return FilterFailed;
            }
        } else if (arg == "--help" || arg == "-h") {
            out = Usage;
            return FilterUnchanged;
        } else if (arg == "--version") {
            out = "ostrel-wrap 1.00\n";
            return FilterUnchanged;
        } else {
            err = "ostrel-wrap: unknown option '" + std::string(arg) + "'\n";
            err += Usage;
            return FilterFailed;
        }
    }
    return -1;
}

int RunFilter(const FilterOptions& options, int inFd, int outFd, std::string& error) {
    const std::u16string_view lineEnd = options.lf ? u"\n" : u"\r\n";
    Output output;
    output.fd = outFd;
    struct stat st{};
    if (!options.check && fstat(outFd, &st) == 0 && S_ISREG(st.st_mode)) {
        output.startOffset = lseek(outFd, 0, SEEK_CUR);
    }
    if (options.utf16le && fstat(inFd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size % 2 != 0) {
        error = "ostrel-wrap: odd number of bytes in UTF-16LE input";
        return FilterFailed;
    }

    std::string chunk(ReadChunk, '\0');
    Utf8Decoder decoder;
    bool oddByte = false; // a UTF-16LE unit broken off at the end of a chunk
    char oddValue = 0;
    std::u16string pending; // decoded input not yet re-wrapped: the start of a line
    std::u16string wrapped;
    std::string utf16Bytes;
    uint64_t bytesIn = 0;
    bool changed = false;

    // Re-wraps `text`, which is either whole lines ending in LF or the end of
    // the input, and sends or compares the result.
    auto process = [&](std::u16string_view text) -> bool {
        if (options.check) {
            if (changed) return true; // the answer is known; only the input's validity is left
            wrapped.clear();
            AppendRewrappedMail(wrapped, text, options.width, lineEnd);
            changed = wrapped != text;
            return true;
        }
        wrapped.clear();
        AppendRewrappedMail(wrapped, text, options.width, lineEnd);
        if (options.utf16le) {
            Utf16AppendUtf16le(wrapped, output.bytes);
        } else {
            Utf16AppendUtf8(wrapped, output.bytes);
        }
        if (!output.streaming && bytesIn >= HoldBackInput) output.streaming = true;
        if (output.streaming && output.bytes.size() >= WriteChunk) {
            return OutputWriteAll(output, error);
        }
        return true;
    };
    auto fail = [&]() {
        OutputDiscard(output);
        return FilterFailed;
    };

    for (;;) {
        const ssize_t n = ReadSome(inFd, chunk.data(), chunk.size());
        if (n < 0) {
            error = ErrnoText("read error");
            return fail();
        }
        if (n == 0) break;
        std::string_view bytes(chunk.data(), static_cast<size_t>(n));
        const size_t newFrom = pending.size();
        bytesIn += static_cast<uint64_t>(n);
        if (options.utf16le) {
            if (oddByte) {
                utf16Bytes.assign(1, oddValue);
                utf16Bytes.push_back(bytes[0]);
                Utf16leDecodeAppend(utf16Bytes, pending);
                bytes.remove_prefix(1);
                oddByte = false;
            }
            if (bytes.size() % 2 != 0) {
                oddByte = true;
                oddValue = bytes.back();
                bytes.remove_suffix(1);
            }
            Utf16leDecodeAppend(bytes, pending);
        } else {
            uint64_t at = 0;
            if (!Utf8DecodeAppend(decoder, bytes, pending, at)) {
                error = "ostrel-wrap: invalid UTF-8 at byte " + std::to_string(at);
                return fail();
            }
        }
        // Only the new part can hold an LF: the rest is the start of a line.
        size_t lastLf = pending.size();
        while (lastLf > newFrom && pending[lastLf - 1] != u'\n') --lastLf;
        if (lastLf == newFrom) continue;
        --lastLf;
        if (!process(std::u16string_view(pending).substr(0, lastLf + 1))) return fail();
        pending.erase(0, lastLf + 1);
    }

    if (oddByte) {
        error = "ostrel-wrap: odd number of bytes in UTF-16LE input";
        return fail();
    }
    uint64_t at = 0;
    if (!options.utf16le && !Utf8DecodeFinish(decoder, at)) {
        error = "ostrel-wrap: invalid UTF-8 at byte " + std::to_string(at);
        return fail();
    }
    if (!process(pending)) return fail();
    if (options.check) return changed ? FilterChanged : FilterUnchanged;
    if (!OutputWriteAll(output, error)) return fail();
    return FilterUnchanged;
}
