// The clipboard and the shell, on the Windows API.
#include <windows.h>

#include <shellapi.h>

#include <cstring>

#include "shell/Workflow.h"
#include "ui/WindowWin32.h"

namespace {

// Clipboard managers, remote desktop and Wine's bridge to X hold the
// clipboard for a moment now and then: try a few times, a quarter of a second
// in all at most.
bool ClipboardOpenRetrying() {
    constexpr int Tries = 11;
    constexpr DWORD Pause = 25;
    for (int i = 0; i < Tries; ++i) {
        if (OpenClipboard(MainWindowHandle())) return true;
        if (i + 1 < Tries) Sleep(Pause);
    }
    return false;
}

} // namespace

bool ClipboardReadText(std::u16string& text) {
    if (!ClipboardOpenRetrying()) return false;
    text.clear();
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data != nullptr) {
        const auto* units = static_cast<const char16_t*>(GlobalLock(data));
        if (units != nullptr) {
            // The data may lack its NUL: never read past its size.
            const size_t capacity = GlobalSize(data) / sizeof(char16_t);
            size_t len = 0;
            while (len < capacity && units[len] != u'\0') ++len;
            text.assign(units, len);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return true;
}

bool ClipboardWriteText(std::u16string_view text) {
    // The memory first: the clipboard is emptied only when its new text is ready.
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) return false;
    auto* units = static_cast<char16_t*>(GlobalLock(memory));
    if (units == nullptr) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(units, text.data(), text.size() * sizeof(char16_t));
    units[text.size()] = u'\0';
    GlobalUnlock(memory);

    if (!ClipboardOpenRetrying()) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!placed) GlobalFree(memory); // the system owns it only once it is placed
    CloseClipboard();
    return placed;
}

void WebPageOpen(std::u16string_view address) {
    const std::wstring file(address.begin(), address.end());
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = MainWindowHandle();
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info) && info.hProcess != nullptr) CloseHandle(info.hProcess);
}
