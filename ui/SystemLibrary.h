// Loading system libraries and looking up functions that older Windows lack.
#pragma once

#include <windows.h>

// Loads `name` from the system directory only, never from the program's
// folder or the current one, where a planted DLL of the same name may lie.
// Returns nullptr when it cannot be loaded; free it with FreeLibrary.
//
// Example: HMODULE user = LoadSystemLibrary(L"user32.dll");
[[nodiscard]] HMODULE LoadSystemLibrary(const wchar_t* name);

// The function `name` of `module` as a pointer of type Fn, or nullptr.
//
// Example: auto fn = ProcAddress<BOOL(WINAPI*)()>(user, "IsProcessDPIAware");
template <typename Fn> [[nodiscard]] Fn ProcAddress(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
