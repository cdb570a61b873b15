#include "cli/Filter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/Utf.h"
#include "rewrap/RewrapMail.h"

namespace {

constexpr size_t ReadChunk = 256 << 10;
// Output is held back until this much input has passed, so that bad input in
// all but long texts leaves nothing on standard output even through a pipe
// (a regular file is cut back in any case).
constexpr uint64_t HoldBackInput = 1u << 20;
constexpr size_t WriteChunk = 256 << 10;

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

// A growable array that, unlike a string, does not clear the room it makes:
// the codecs write every unit of it anyway.
template <typename T> struct Buffer {
    std::unique_ptr<T[]> data;
    size_t size = 0;
    size_t capacity = 0;
};

template <typename T> T* BufferRoom(Buffer<T>& buffer, size_t extra) {
    if (buffer.size + extra > buffer.capacity) {
        const size_t capacity = std::max(buffer.capacity * 2, buffer.size + extra);
        std::unique_ptr<T[]> grown(new T[capacity]);
        if (buffer.size > 0) std::memcpy(grown.get(), buffer.data.get(), buffer.size * sizeof(T));
        buffer.data = std::move(grown);
        buffer.capacity = capacity;
    }
    return buffer.data.get() + buffer.size;
}

template <typename T> void BufferDropFront(Buffer<T>& buffer, size_t count) {
    std::memmove(buffer.data.get(), buffer.data.get() + count, (buffer.size - count) * sizeof(T));
    buffer.size -= count;
}

struct Output {
    int fd = -1;
    off_t startOffset = -1; // where a regular file began, to cut it back on failure
    bool streaming = false; // false while output is held back
    bool wroteAny = false;
    Buffer<char> bytes;
};

bool OutputWriteAll(Output& output, std::string& error) {
    const char* p = output.bytes.data.get();
    size_t left = output.bytes.size;
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
    output.bytes.size = 0;
    return true;
}

void OutputDiscard(Output& output) {
    output.bytes.size = 0;
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

    std::unique_ptr<char[]> chunk(new char[ReadChunk]);
    Utf8Decoder decoder;
    bool oddByte = false; // a UTF-16LE unit broken off at the end of a chunk
    char oddValue = 0;
    Buffer<char16_t> pending; // decoded input not yet re-wrapped: the start of a line
    std::u16string wrapped;
    uint64_t bytesIn = 0;
    bool changed = false;

    // Re-wraps `text`, which is either whole lines ending in LF or the end of
    // the input, and sends or compares the result.
    auto process = [&](std::u16string_view text) -> bool {
        if (options.check && changed) return true; // known; only the input's validity is left
        wrapped.clear();
        AppendRewrappedMail(wrapped, text, options.width, lineEnd);
        if (options.check) {
            changed = wrapped != text;
            return true;
        }
        if (options.utf16le) {
            Utf16ToUtf16le(wrapped, BufferRoom(output.bytes, 2 * wrapped.size()));
            output.bytes.size += 2 * wrapped.size();
        } else {
            output.bytes.size += Utf16ToUtf8(wrapped, BufferRoom(output.bytes, 3 * wrapped.size()));
        }
        if (!output.streaming && bytesIn >= HoldBackInput) output.streaming = true;
        if (output.streaming && output.bytes.size >= WriteChunk) {
            return OutputWriteAll(output, error);
        }
        return true;
    };
    auto fail = [&]() {
        OutputDiscard(output);
        return FilterFailed;
    };

    for (;;) {
        const ssize_t n = ReadSome(inFd, chunk.get(), ReadChunk);
        if (n < 0) {
            error = ErrnoText("read error");
            return fail();
        }
        if (n == 0) break;
        std::string_view bytes(chunk.get(), static_cast<size_t>(n));
        const size_t newFrom = pending.size;
        bytesIn += static_cast<uint64_t>(n);
        if (options.utf16le) {
            char16_t* dst = BufferRoom(pending, bytes.size() / 2 + 1);
            if (oddByte) {
                const char pair[2] = {oddValue, bytes[0]};
                Utf16leToUtf16(std::string_view(pair, 2), dst++);
                ++pending.size;
                bytes.remove_prefix(1);
                oddByte = false;
            }
            if (bytes.size() % 2 != 0) {
                oddByte = true;
                oddValue = bytes.back();
                bytes.remove_suffix(1);
            }
            Utf16leToUtf16(bytes, dst);
            pending.size += bytes.size() / 2;
        } else {
            uint64_t at = 0;
            size_t written = 0;
            const bool ok =
                Utf8Decode(decoder, bytes, BufferRoom(pending, bytes.size() + 2), written, at);
            pending.size += written;
            if (!ok) {
                error = "ostrel-wrap: invalid UTF-8 at byte " + std::to_string(at);
                return fail();
            }
        }
        // Only the new part can hold an LF: the rest is the start of a line.
        const char16_t* units = pending.data.get();
        size_t lastLf = pending.size;
        while (lastLf > newFrom && units[lastLf - 1] != u'\n') --lastLf;
        if (lastLf == newFrom) continue;
        if (!process(std::u16string_view(units, lastLf))) return fail();
        BufferDropFront(pending, lastLf);
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
    if (!process(std::u16string_view(pending.data.get(), pending.size))) return fail();
    if (options.check) return changed ? FilterChanged : FilterUnchanged;
    if (!OutputWriteAll(output, error)) return fail();
    return FilterUnchanged;
}
