// A DLL planted beside the tests under a name the program must never load
// from there. Loading it leaves a mark that the tests look for.
#include <windows.h>

extern "C" __declspec(dllexport) int OstrelPlanted() { return 42; }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) SetEnvironmentVariableW(L"OSTREL_PLANTED_LOADED", L"1");
    return TRUE;
}
