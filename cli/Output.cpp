#include "cli/Output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Output is held back until this much input has passed, so that bad input in
// all but long texts leaves nothing on standard output even through a pipe
// (a regular file is cut back in any case).
constexpr uint64_t HoldBackInput = 1u << 20;
constexpr size_t WriteChunk = 256 << 10;

// 0, or the errno of the write that failed.
int WriteAll(int fd, const std::string& bytes, bool& wroteAny) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        wroteAny = true;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return 0;
}

void* WriterMain(void* param) {
    Output& output = *static_cast<Output*>(param);
    pthread_mutex_lock(&output.lock);
    for (;;) {
        while (!output.handedFull && !output.stopping)
            pthread_cond_wait(&output.changed, &output.lock);
        if (!output.handedFull) break;
        // Writing may block on a slow reader: the filter goes on meanwhile.
        bool wroteAny = false;
        pthread_mutex_unlock(&output.lock);
        const int failed =
            output.writeErrno == 0 ? WriteAll(output.fd, output.handed, wroteAny) : 0;
        pthread_mutex_lock(&output.lock);
        output.wroteAny = output.wroteAny || wroteAny;
        if (failed != 0) output.writeErrno = failed;
        output.handed.clear();
        output.handedFull = false;
        pthread_cond_broadcast(&output.changed);
    }
    pthread_mutex_unlock(&output.lock);
    return nullptr;
}

std::string WriteErrorText(int error) {
    return std::string("ostrel-wrap: write error: ") + std::strerror(error);
}

// Hands `bytes` to the thread, once it is done with what it had, or writes
// them here when there is none. False when a write has failed.
bool OutputSend(Output& output) {
    if (!output.threaded) {
        if (output.writeErrno == 0)
            output.writeErrno = WriteAll(output.fd, output.bytes, output.wroteAny);
        output.bytes.clear();
        return output.writeErrno == 0;
    }
    pthread_mutex_lock(&output.lock);
    while (output.handedFull) pthread_cond_wait(&output.changed, &output.lock);
    const bool ok = output.writeErrno == 0;
    if (ok) {
        output.handed.swap(output.bytes);
        output.handedFull = true;
        pthread_cond_broadcast(&output.changed);
    }
    pthread_mutex_unlock(&output.lock);
    output.bytes.clear();
    return ok;
}

void OutputStop(Output& output) {
    if (!output.threaded) return;
    pthread_mutex_lock(&output.lock);
    output.stopping = true;
    pthread_cond_broadcast(&output.changed);
    pthread_mutex_unlock(&output.lock);
    pthread_join(output.thread, nullptr);
    pthread_cond_destroy(&output.changed);
    pthread_mutex_destroy(&output.lock);
    output.threaded = false;
}

} // namespace

void OutputOpen(Output& output, int fd) {
    output.fd = fd;
    pthread_mutex_init(&output.lock, nullptr);
    pthread_cond_init(&output.changed, nullptr);
    output.threaded = pthread_create(&output.thread, nullptr, WriterMain, &output) == 0;
    if (!output.threaded) {
        // Without a thread the filter writes as it goes, only more slowly.
        pthread_cond_destroy(&output.changed);
        pthread_mutex_destroy(&output.lock);
    }
}

bool OutputSendIfFull(Output& output, uint64_t bytesIn, std::string& error) {
    if (!output.streaming && bytesIn >= HoldBackInput) output.streaming = true;
    if (!output.streaming || output.bytes.size() < WriteChunk) return true;
    if (OutputSend(output)) return true;
    error = WriteErrorText(output.writeErrno);
    return false;
}

bool OutputClose(Output& output, std::string& error) {
    const bool sent = output.bytes.empty() || OutputSend(output);
    OutputStop(output);
    if (sent && output.writeErrno == 0) return true;
    error = WriteErrorText(output.writeErrno);
    return false;
}

void OutputDiscard(Output& output) {
    OutputStop(output);
    output.bytes.clear();
    if (output.wroteAny && output.startOffset >= 0) {
        if (ftruncate(output.fd, output.startOffset) == 0) {
            (void)lseek(output.fd, output.startOffset, SEEK_SET);
        }
    }
}
