// Growable memory for the filter's long lines, cheap to grow and to touch.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

// Memory of its own for a buffer, in whole pages. Growing keeps the
// contents; on Linux it moves the pages to a larger mapping instead of
// copying them, and the memory lies on huge pages where the system allows,
// so that a line of many megabytes costs a page fault per 2 MiB, not per
// 4 KiB. Null when memory ran out; `old` is then left as it was.
//
// Example: void* p = PagesGrow(nullptr, 0, 1 << 20); ... PagesFree(p, 1 << 20);
[[nodiscard]] void* PagesGrow(void* old, size_t oldBytes, size_t bytes);
void PagesFree(void* memory, size_t bytes);

// Gives `out` room for `bytes` at once, on huge pages where it is large.
//
// Example: StringReserve(out, 64 << 20)
void StringReserve(std::string& out, size_t bytes);

struct PagesRelease {
    size_t bytes = 0;
    void operator()(void* memory) const { PagesFree(memory, bytes); }
};

// A growable array that, unlike a string, does not clear the room it makes:
// the codecs write every unit of it anyway.
template <typename T> struct Buffer {
    static_assert(std::is_trivially_copyable_v<T>);
    std::unique_ptr<T, PagesRelease> data;
    size_t size = 0;
    size_t capacity = 0;
};

// Room for `extra` more units after the first `size`; null when memory ran
// out.
//
// Example: char* room = BufferRoom(buffer, 4096); read(fd, room, 4096)
template <typename T> [[nodiscard]] T* BufferRoom(Buffer<T>& buffer, size_t extra) {
    if (buffer.size + extra > buffer.capacity) {
        constexpr size_t PageBytes = 4096;
        const size_t wanted = std::max(buffer.capacity * 2, buffer.size + extra) * sizeof(T);
        const size_t bytes = (wanted + PageBytes - 1) / PageBytes * PageBytes;
        void* grown = PagesGrow(buffer.data.get(), buffer.data.get_deleter().bytes, bytes);
        if (grown == nullptr) return nullptr;
        (void)buffer.data.release(); // now part of `grown`
        buffer.data = std::unique_ptr<T, PagesRelease>(static_cast<T*>(grown), PagesRelease{bytes});
        buffer.capacity = bytes / sizeof(T);
    }
    return buffer.data.get() + buffer.size;
}

// Drops the first `count` units, moving the rest to the front.
//
// Example: BufferDropFront(buffer, lineLength)
template <typename T> void BufferDropFront(Buffer<T>& buffer, size_t count) {
    std::memmove(buffer.data.get(), buffer.data.get() + count, (buffer.size - count) * sizeof(T));
    buffer.size -= count;
}
