// The filter's standard output: held back at first, then written by a
// thread of its own while the next text is re-wrapped.
#pragma once

#include <pthread.h>

#include <cstdint>
#include <string>
#include <sys/types.h>

struct Output {
    int fd = -1;
    off_t startOffset = -1; // where a regular file began, to cut it back on failure
    bool streaming = false; // false while output is held back
    std::string bytes;      // what the filter is filling; cleared, not freed, when sent

    // The writing thread, when there is one. It owns `handed` while
    // `handedFull`; everything below is guarded by `lock`.
    bool threaded = false;
    pthread_t thread{};
    pthread_mutex_t lock{};
    pthread_cond_t changed{};
    std::string handed;
    bool handedFull = false;
    bool stopping = false;
    bool wroteAny = false;
    int writeErrno = 0; // the first failed write's errno; nothing is written after it
};

// Starts writing to `fd`, with a thread of its own where one can be had.
//
// Example: Output output; OutputOpen(output, 1); ... OutputClose(output, error)
void OutputOpen(Output& output, int fd);

// Sends `bytes` once the hold-back is over (after HoldBackInput bytes of
// input, `bytesIn`) and enough has piled up for a write worth making. False,
// with the message in `error`, when an earlier write failed.
[[nodiscard]] bool OutputSendIfFull(Output& output, uint64_t bytesIn, std::string& error);

// Writes the rest and stops the thread: false, with the message in `error`,
// when a write failed.
[[nodiscard]] bool OutputClose(Output& output, std::string& error);

// Stops the thread and drops whatever is not written; a regular file is cut
// back to where it began.
void OutputDiscard(Output& output);
