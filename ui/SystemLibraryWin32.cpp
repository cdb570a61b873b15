#include "ui/SystemLibrary.h"

#include <cwchar>

HMODULE LoadSystemLibrary(const wchar_t* name) {
    // LOAD_LIBRARY_SEARCH_SYSTEM32 is understood wherever AddDllDirectory
    // exists (Windows 8, and 7 or Vista with KB2533623).
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel != nullptr && GetProcAddress(kernel, "AddDllDirectory") != nullptr) {
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Elsewhere a full path: its dependencies are then looked for beside it.
    wchar_t path[MAX_PATH];
    const UINT dirLen = GetSystemDirectoryW(path, MAX_PATH);
    const size_t nameLen = std::wcslen(name);
    if (dirLen == 0 || dirLen + 1 + nameLen >= MAX_PATH) return nullptr;
    path[dirLen] = L'\\';
    std::wmemcpy(path + dirLen + 1, name, nameLen + 1);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
