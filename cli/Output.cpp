#include "cli/Output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// Output is held back until this much input has passed, so that bad input in
// all but long texts leaves nothing on standard output even through a pipe
// (a regular file is cut back in any case).
constexpr uint64_t HoldBackInput = 1u << 20;

bool OutputWriteAll(Output& output, std::string& error) {
    const char* p = output.bytes.data();
    size_t left = output.bytes.size();
    while (left > 0) {
        const ssize_t n = write(output.fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = std::string("ostrel-wrap: write error: ") + std::strerror(n < 0 ? errno : EIO);
            return false;
        }
        output.wroteAny = true;
        p += n;
        left -= static_cast<size_t>(n);
    }
    output.bytes.clear();
    return true;
}

} // namespace

void OutputOpen(Output& output, int fd) {
    output.fd = fd;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) output.startOffset = lseek(fd, 0, SEEK_CUR);
    PipeWiden(fd);
}

bool OutputSendIfFull(Output& output, uint64_t bytesIn, std::string& error) {
    if (!output.streaming && bytesIn >= HoldBackInput) output.streaming = true;
    if (!output.streaming || output.bytes.size() < OutputChunkBytes) return true;
    return OutputWriteAll(output, error);
}

bool OutputClose(Output& output, std::string& error) { return OutputWriteAll(output, error); }

void OutputDiscard(Output& output) {
    output.bytes.clear();
    if (output.wroteAny && output.startOffset >= 0) {
        if (ftruncate(output.fd, output.startOffset) == 0) {
            (void)lseek(output.fd, output.startOffset, SEEK_SET);
        }
    }
}

void PipeWiden(int fd) {
#if defined(F_SETPIPE_SZ)
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode)) (void)fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#else
    (void)fd;
#endif
}
