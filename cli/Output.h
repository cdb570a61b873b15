// The filter's standard output: held back at first, then written in chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// What piles up before a write, once output is no longer held back.
inline constexpr size_t OutputChunkBytes = 256 << 10;

struct Output {
    int fd = -1;
    off_t startOffset = -1; // where a regular file began, to cut it back on failure
    bool streaming = false; // false while output is held back
    bool wroteAny = false;
    std::string bytes; // cleared, not freed, after each write
};

// Starts writing to `fd`, remembering where a regular file began.
//
// Example: Output output; OutputOpen(output, 1); ... OutputClose(output, error)
void OutputOpen(Output& output, int fd);

// Writes `bytes` once the hold-back is over (after the first MiB of input,
// counted in `bytesIn`) and enough has piled up for a write worth making.
// False, with the message in `error`, when the write failed.
[[nodiscard]] bool OutputSendIfFull(Output& output, uint64_t bytesIn, std::string& error);

// Writes the rest: false, with the message in `error`, when that failed.
[[nodiscard]] bool OutputClose(Output& output, std::string& error);

// Drops whatever is not written; a regular file is cut back to where it began.
void OutputDiscard(Output& output);

// Gives a pipe at `fd` room for a MiB, where the system allows, so that the
// programs on its two ends wake each other a sixteenth as often.
//
// Example: PipeWiden(0)
void PipeWiden(int fd);
