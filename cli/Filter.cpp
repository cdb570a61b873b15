#include "cli/Filter.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>
#include <sys/stat.h>

#include "cli/Buffer.h"
#include "cli/Output.h"
#include "cli/Utf.h"
#include "rewrap/RewrapMail.h"

namespace {

constexpr size_t ReadChunk = 256 << 10;

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

bool AppendRewrappedUtf8Text(std::string& out, std::string_view text, int32_t width, bool lf,
                             const WrapSink* sink, const bool* sinkStopped) {
    const std::string_view lineEnd = lf ? "\n" : "\r\n";
    size_t done = 0;
    for (;;) {
        done += AppendRewrappedUtf8Mail(out, text.substr(done), width, lineEnd, sink);
        if (done == text.size()) return true;
        if (sinkStopped != nullptr && *sinkStopped) return false;
        // A line whose result holds half a character: as the clipboard would
        // have it, where UTF-8 writes each half as U+FFFD.
        const size_t lineFeed = text.find('\n', done);
        const size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed + 1;
        std::u16string wrapped;
        AppendRewrappedMail(wrapped, Utf8ToUtf16String(text.substr(done, end - done)), width,
                            lf ? u"\n" : u"\r\n");
        out += Utf16ToUtf8String(wrapped);
        done = end;
    }
}

namespace {

std::string InvalidUtf8Text(uint64_t offset) {
    return "ostrel-wrap: invalid UTF-8 at byte " + std::to_string(offset);
}

constexpr const char* OddBytesText = "ostrel-wrap: odd number of bytes in UTF-16LE input";
constexpr const char* NoMemoryText = "ostrel-wrap: out of memory";

// What the engine hands its result to while it re-wraps a line whose result
// is long (a long line behind a long prefix may grow thirtyfold and more).
struct EngineOutput {
    Output* output = nullptr;
    std::u16string* wrapped = nullptr; // under --utf16le: the result, before it is bytes
    uint64_t bytesIn = 0;              // input taken once the text at hand is done
    std::string* error = nullptr;
    bool failed = false;
};

// Moves the UTF-16 result on into the output as UTF-16LE bytes.
void EngineOutputFromUtf16(EngineOutput& engine) {
    std::string& bytes = engine.output->bytes;
    const size_t at = bytes.size();
    bytes.resize(at + 2 * engine.wrapped->size());
    Utf16ToUtf16le(*engine.wrapped, bytes.data() + at);
    engine.wrapped->clear();
}

bool EngineOutputSend(void* context) {
    auto& engine = *static_cast<EngineOutput*>(context);
    if (engine.wrapped != nullptr) EngineOutputFromUtf16(engine);
    engine.failed = !OutputSendIfFull(*engine.output, engine.bytesIn, *engine.error);
    return !engine.failed;
}

// Under --check the result is compared with the text as it is made, and the
// work stops at the first difference.
template <typename Char> struct EngineCompare {
    std::basic_string_view<Char> text;
    std::basic_string<Char> out; // the result not yet compared
    size_t compared = 0;         // units of `text` matched so far
    bool differs = false;
};

template <typename Char> bool EngineCompareNext(void* context) {
    auto& compare = *static_cast<EngineCompare<Char>*>(context);
    compare.differs = compare.text.substr(compare.compared, compare.out.size()) != compare.out;
    compare.compared += compare.out.size();
    compare.out.clear();
    return !compare.differs;
}

// Whether the result differs from the text, once the engine is done.
template <typename Char> bool EngineCompareDiffers(EngineCompare<Char>& compare) {
    return compare.differs || compare.text.substr(compare.compared) != compare.out;
}

// The UTF-8 filter works on the bytes as they come: UTF-8 is only checked,
// and the engine counts the UTF-16 units of what it wraps as it goes.
int RunUtf8Filter(const FilterOptions& options, int inFd, Output& output, std::string& error) {
    Buffer<char> input;       // the start of a line carried over, then what was read after it
    size_t checked = 0;       // the head of `input` known to be valid UTF-8
    uint64_t inputOffset = 0; // where input[0] lies in the stream
    bool changed = false;     // under --check: re-wrapping changes the text

    // Re-wraps `text`, whole lines or the end of the input, and sends the
    // result, or compares it under --check.
    auto process = [&](std::string_view text) -> bool {
        if (options.check) {
            if (changed) return true; // known; only the input's validity is left
            EngineCompare<char> compare;
            compare.text = text;
            const WrapSink sink{OutputChunkBytes, EngineCompareNext<char>, &compare};
            (void)AppendRewrappedUtf8Text(compare.out, text, options.width, options.lf, &sink,
                                          &compare.differs);
            changed = EngineCompareDiffers(compare);
            return true;
        }
        // As much as the engine reserves itself, but on huge pages.
        StringReserve(output.bytes, output.bytes.size() + text.size() + text.size() / 16);
        EngineOutput engine{&output, nullptr, inputOffset + text.size(), &error};
        const WrapSink sink{OutputChunkBytes, EngineOutputSend, &engine};
        if (!AppendRewrappedUtf8Text(output.bytes, text, options.width, options.lf, &sink,
                                     &engine.failed)) {
            return false;
        }
        return OutputSendIfFull(output, engine.bytesIn, error);
    };

    for (;;) {
        char* const room = BufferRoom(input, ReadChunk);
        if (room == nullptr) {
            error = NoMemoryText;
            return FilterFailed;
        }
        const ssize_t n = ReadSome(inFd, room, ReadChunk);
        if (n < 0) {
            error = ErrnoText("read error");
            return FilterFailed;
        }
        if (n == 0) break;
        const size_t newFrom = input.size;
        input.size += static_cast<size_t>(n);
        bool invalid = false;
        checked += Utf8ValidLength(
            std::string_view(input.data.get() + checked, input.size - checked), invalid);
        if (invalid) {
            error = InvalidUtf8Text(inputOffset + checked);
            return FilterFailed;
        }
        // Only the new part can hold an LF, and not in a sequence still open.
        const char* const bytes = input.data.get();
        const size_t scanFrom = std::min(newFrom, checked);
        const void* lastLf = memrchr(bytes + scanFrom, '\n', checked - scanFrom);
        if (lastLf == nullptr) continue;
        const size_t lines = static_cast<size_t>(static_cast<const char*>(lastLf) - bytes) + 1;
        if (!process(std::string_view(bytes, lines))) return FilterFailed;
        BufferDropFront(input, lines);
        checked -= lines;
        inputOffset += lines;
    }
    if (checked < input.size) {
        error = InvalidUtf8Text(inputOffset + checked);
        return FilterFailed;
    }
    if (!process(std::string_view(input.data.get(), input.size))) return FilterFailed;
    if (options.check) return changed ? FilterChanged : FilterUnchanged;
    return FilterUnchanged;
}

int RunUtf16leFilter(const FilterOptions& options, int inFd, Output& output, std::string& error) {
    const std::u16string_view lineEnd = options.lf ? u"\n" : u"\r\n";
    std::unique_ptr<char[]> chunk(new char[ReadChunk]);
    bool oddByte = false; // a unit broken off at the end of a chunk
    char oddValue = 0;
    Buffer<char16_t> pending; // input not yet re-wrapped: the start of a line
    std::u16string wrapped;
    uint64_t bytesIn = 0;
    bool changed = false;

    // Re-wraps `text`, which is either whole lines ending in LF or the end of
    // the input, and sends or compares the result.
    auto process = [&](std::u16string_view text) -> bool {
        if (options.check) {
            if (changed) return true;
            EngineCompare<char16_t> compare;
            compare.text = text;
            const WrapSink sink{OutputChunkBytes / 2, EngineCompareNext<char16_t>, &compare};
            (void)AppendRewrappedMail(compare.out, text, options.width, lineEnd, &sink);
            changed = EngineCompareDiffers(compare);
            return true;
        }
        EngineOutput engine{&output, &wrapped, bytesIn, &error};
        const WrapSink sink{OutputChunkBytes / 2, EngineOutputSend, &engine};
        if (!AppendRewrappedMail(wrapped, text, options.width, lineEnd, &sink)) return false;
        EngineOutputFromUtf16(engine);
        return OutputSendIfFull(output, bytesIn, error);
    };

    for (;;) {
        const ssize_t n = ReadSome(inFd, chunk.get(), ReadChunk);
        if (n < 0) {
            error = ErrnoText("read error");
            return FilterFailed;
        }
        if (n == 0) break;
        std::string_view bytes(chunk.get(), static_cast<size_t>(n));
        const size_t newFrom = pending.size;
        bytesIn += static_cast<uint64_t>(n);
        char16_t* dst = BufferRoom(pending, bytes.size() / 2 + 1);
        if (dst == nullptr) {
            error = NoMemoryText;
            return FilterFailed;
        }
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
        // Only the new part can hold an LF: the rest is the start of a line.
        const char16_t* units = pending.data.get();
        size_t lastLf = pending.size;
        while (lastLf > newFrom && units[lastLf - 1] != u'\n') --lastLf;
        if (lastLf == newFrom) continue;
        if (!process(std::u16string_view(units, lastLf))) return FilterFailed;
        BufferDropFront(pending, lastLf);
    }
    if (oddByte) {
        error = OddBytesText;
        return FilterFailed;
    }
    if (!process(std::u16string_view(pending.data.get(), pending.size))) return FilterFailed;
    if (options.check) return changed ? FilterChanged : FilterUnchanged;
    return FilterUnchanged;
}

} // namespace

int RunFilter(const FilterOptions& options, int inFd, int outFd, std::string& error) {
    struct stat st {};
    if (options.utf16le && fstat(inFd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size % 2 != 0) {
        error = OddBytesText;
        return FilterFailed;
    }
    PipeWiden(inFd);
    if (options.check) {
        Output none; // never opened: nothing is written under --check
        return options.utf16le ? RunUtf16leFilter(options, inFd, none, error)
                               : RunUtf8Filter(options, inFd, none, error);
    }
    Output output;
    OutputOpen(output, outFd);
    const int result = options.utf16le ? RunUtf16leFilter(options, inFd, output, error)
                                       : RunUtf8Filter(options, inFd, output, error);
    if (result == FilterFailed || !OutputClose(output, error)) {
        OutputDiscard(output);
        return FilterFailed;
    }
    return result;
}
