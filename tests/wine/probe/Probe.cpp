// The tests' hands on the Windows side: finds the program's window, reports
// what it holds (through ProbeHook.dll), and uses the clipboard as another
// program would.
//
//   probe wait TITLE SECONDS          wait for the window; prints its process id
//   probe report TITLE FILE           write the window's report (JSON) to FILE
//   probe clip-get FILE               the clipboard's text as UTF-16LE (exit 3: no text)
//   probe clip-set FILE               put FILE (UTF-16LE) on the clipboard as text
//   probe clip-set-nonul FILE         the same, with the data lacking its NUL
//   probe clip-hold SECONDS           keep the clipboard open that long
//   probe clip-image                  put only a small bitmap on the clipboard
//   probe clip-empty                  empty the clipboard
//   probe rewrap IN OUT               the engine's answer for IN (UTF-16LE), to compare with
//   probe time-start EXE TITLE        start EXE; milliseconds until a window TITLE is shown
//   probe time-status TITLE TEXT      prints "ready", then the milliseconds until the status
//                                     of the window reads TEXT (the caller activates it)
//   probe url-mark URL                note URL in url-opened.txt beside the probe (a stand-in
//                                     for the web browser)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rewrap/RewrapMail.h"
#include "tests/wine/FileAndClock.h"

namespace {

std::wstring Beside(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD len = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, len);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + name;
}

HWND FindProgramWindow(const wchar_t* title) {
    HWND hwnd = FindWindowW(L"OstrelMainWindow", title);
    return hwnd != nullptr && IsWindowVisible(hwnd) ? hwnd : nullptr;
}

bool OpenClipboardRetrying() {
    for (int i = 0; i < 100; ++i) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(20);
    }
    return false;
}

int Wait(const wchar_t* title, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        HWND hwnd = FindProgramWindow(title);
        if (hwnd != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            std::printf("%lu\n", pid);
            return 0;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "no window\n");
    return 1;
}

int Fail(const char* what) {
    std::fprintf(stderr, "%s (error %lu)\n", what, GetLastError());
    return 1;
}

int Report(const wchar_t* title, const wchar_t* file) {
    HWND hwnd = FindProgramWindow(title);
    if (hwnd == nullptr) return Fail("no window");
    wchar_t full[MAX_PATH];
    GetFullPathNameW(file, MAX_PATH, full, nullptr);
    FILE* request = _wfopen(Beside(L"probe-target.txt").c_str(), L"wb");
    if (request == nullptr) return Fail("cannot write probe-target.txt");
    std::fwrite(full, sizeof(wchar_t), wcslen(full), request);
    std::fclose(request);
    HMODULE hook = LoadLibraryW(Beside(L"probehook.dll").c_str());
    auto proc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hook, "ProbeHookProc")));
    if (proc == nullptr) return Fail("no probehook.dll");
    HHOOK handle =
        SetWindowsHookExW(WH_CALLWNDPROC, proc, hook, GetWindowThreadProcessId(hwnd, nullptr));
    if (handle == nullptr) return Fail("SetWindowsHookEx failed");
    DeleteFileW(full);
    DWORD_PTR result = 0;
    const UINT message = RegisterWindowMessageW(L"OstrelProbeReport");
    const bool sent = SendMessageTimeoutW(hwnd, message, 0, 0, SMTO_NORMAL, 240000, &result) != 0;
    UnhookWindowsHookEx(handle);
    if (!sent) return Fail("the window did not answer");
    if (GetFileAttributesW(full) == INVALID_FILE_ATTRIBUTES)
        return Fail("the hook wrote no report");
    return 0;
}

int ClipGet(const wchar_t* file) {
    if (!OpenClipboardRetrying()) return 4;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) {
        CloseClipboard();
        return 3;
    }
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    const size_t units = GlobalSize(data) / 2;
    size_t len = 0;
    while (len < units && text[len] != 0) ++len;
    FILE* f = _wfopen(file, L"wb");
    std::fwrite(text, 2, len, f);
    std::fclose(f);
    GlobalUnlock(data);
    CloseClipboard();
    return 0;
}

int ClipSet(const wchar_t* file, bool withNul) {
    std::vector<char> bytes;
    if (!FileReadAll(file, bytes)) return 1;
    const size_t size = bytes.size() + (withNul ? 2 : 0);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size > 0 ? size : 1);
    auto* p = static_cast<char*>(GlobalLock(memory));
    std::memcpy(p, bytes.data(), bytes.size());
    if (withNul) p[bytes.size()] = p[bytes.size() + 1] = 0;
    GlobalUnlock(memory);
    if (!OpenClipboardRetrying()) return 4;
    EmptyClipboard();
    const bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return ok ? 0 : 1;
}

int ClipHold(int seconds) {
    if (!OpenClipboardRetrying()) return 4;
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    CloseClipboard();
    return 0;
}

int ClipImage() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    if (!OpenClipboardRetrying()) return 4;
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    return 0;
}

int ClipEmpty() {
    if (!OpenClipboardRetrying()) return 4;
    EmptyClipboard();
    CloseClipboard();
    return 0;
}

int Rewrap(const wchar_t* in, const wchar_t* out) {
    std::vector<char> bytes;
    if (!FileReadAll(in, bytes)) return 1;
    const std::u16string text(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
    const std::u16string wrapped = RewrapMail(text);
    FILE* f = _wfopen(out, L"wb");
    if (f == nullptr) return 1;
    std::fwrite(wrapped.data(), 2, wrapped.size(), f);
    std::fclose(f);
    return 0;
}

int TimeStart(wchar_t* exe, const wchar_t* title) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = ClockMilliseconds();
    if (!CreateProcessW(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 1;
    HWND hwnd = nullptr;
    while (ClockMilliseconds() - t0 < 60000) {
        hwnd = FindWindowW(nullptr, title);
        if (hwnd != nullptr && IsWindowVisible(hwnd)) break;
        Sleep(1);
    }
    const double t1 = ClockMilliseconds();
    std::printf("%.0f\n", t1 - t0);
    if (hwnd != nullptr) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return hwnd != nullptr ? 0 : 1;
}

std::wstring StatusText(HWND status) {
    wchar_t text[256] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(status, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 60000,
                        &got);
    return text;
}

int TimeStatus(const wchar_t* title, const wchar_t* expected) {
    HWND hwnd = FindProgramWindow(title);
    if (hwnd == nullptr) return 1;
    HWND status = GetDlgItem(hwnd, 106);
    std::printf("ready\n");
    std::fflush(stdout);
    const double t0 = ClockMilliseconds();
    while (ClockMilliseconds() - t0 < 300000) {
        if (StatusText(status) == expected) {
            std::printf("%.0f\n", ClockMilliseconds() - t0);
            return 0;
        }
        Sleep(2);
    }
    return 1;
}

int UrlMark(const wchar_t* url) {
    FILE* f = _wfopen(Beside(L"url-opened.txt").c_str(), L"wb");
    if (f == nullptr) return 1;
    std::fwrite(url, sizeof(wchar_t), wcslen(url), f);
    std::fclose(f);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring cmd = argv[1];
    if (cmd == L"wait" && argc == 4) return Wait(argv[2], _wtoi(argv[3]));
    if (cmd == L"report" && argc == 4) return Report(argv[2], argv[3]);
    if (cmd == L"clip-get" && argc == 3) return ClipGet(argv[2]);
    if (cmd == L"clip-set" && argc == 3) return ClipSet(argv[2], true);
    if (cmd == L"clip-set-nonul" && argc == 3) return ClipSet(argv[2], false);
    if (cmd == L"clip-hold" && argc == 3) return ClipHold(_wtoi(argv[2]));
    if (cmd == L"clip-image") return ClipImage();
    if (cmd == L"clip-empty") return ClipEmpty();
    if (cmd == L"rewrap" && argc == 4) return Rewrap(argv[2], argv[3]);
    if (cmd == L"url-mark" && argc == 3) return UrlMark(argv[2]);
    if (cmd == L"time-start" && argc == 4) return TimeStart(argv[2], argv[3]);
    if (cmd == L"time-status" && argc == 4) return TimeStatus(argv[2], argv[3]);
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
