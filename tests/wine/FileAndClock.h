// Reading a whole file and a millisecond clock, for the small Windows
// programs that the tests and benchmarks look through and time with.
#pragma once

#include <windows.h>

#include <cstdio>
#include <vector>

// Appends the bytes of the file at `path` to `data`; false when it cannot
// be opened.
//
// Example: std::vector<char> bytes; if (!FileReadAll(L"text.bin", bytes)) return 1;
inline bool FileReadAll(const wchar_t* path, std::vector<char>& data) {
    FILE* f = _wfopen(path, L"rb");
    if (f == nullptr) return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    std::fclose(f);
    return true;
}

// Milliseconds from some fixed moment, to the precision of the performance
// counter.
//
// Example: const double t0 = ClockMilliseconds(); ...; ClockMilliseconds() - t0
inline double ClockMilliseconds() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}
