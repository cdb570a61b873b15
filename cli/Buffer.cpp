#include "cli/Buffer.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace {

// Advice on a part of a mapping splits it in two, after which it cannot be
// moved whole: whole mappings get it, or, inside another allocator's memory,
// the huge pages that lie entirely within.
void AdviseHugePages(void* memory, size_t bytes) {
#if defined(MADV_HUGEPAGE)
    constexpr uintptr_t Huge = uintptr_t{2} << 20;
    const auto start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t begin = (start + Huge - 1) & ~(Huge - 1);
    const uintptr_t end = (start + bytes) & ~(Huge - 1);
    if (end > begin) (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)memory;
    (void)bytes;
#endif
}

} // namespace

void* PagesGrow(void* old, size_t oldBytes, size_t bytes) {
#if defined(__linux__)
    void* grown = old == nullptr ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                 : mremap(old, oldBytes, bytes, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED) return nullptr;
#if defined(MADV_HUGEPAGE)
    (void)madvise(grown, bytes, MADV_HUGEPAGE);
#endif
    return grown;
#else
    (void)oldBytes;
    return std::realloc(old, bytes);
#endif
}

void PagesFree(void* memory, size_t bytes) {
#if defined(__linux__)
    if (memory != nullptr) (void)munmap(memory, bytes);
#else
    (void)bytes;
    std::free(memory);
#endif
}

void StringReserve(std::string& out, size_t bytes) {
    if (out.capacity() >= bytes) return;
    out.reserve(bytes);
    AdviseHugePages(out.data(), out.capacity());
}
