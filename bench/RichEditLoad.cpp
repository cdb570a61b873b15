// The yardstick for showing a text: loading a UTF-16LE file into a bare
// rich-edit control with EM_STREAMIN, and re-wrapping it, timed apart.
//   richedit_load FILE   prints "load MS" and "engine MS"
#include <windows.h>

#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rewrap/RewrapMail.h"
#include "tests/wine/FileAndClock.h"

namespace {

struct Source {
    const char* data;
    size_t left;
};

DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) {
    auto* s = reinterpret_cast<Source*>(cookie);
    const size_t n = s->left < static_cast<size_t>(size) ? s->left : static_cast<size_t>(size);
    std::memcpy(buffer, s->data, n);
    s->data += n;
    s->left -= n;
    *written = static_cast<LONG>(n);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    std::vector<char> bytes;
    if (!FileReadAll(argv[1], bytes)) return 1;

    LoadLibraryW(L"riched20.dll");
    HWND parent = CreateWindowW(L"Static", L"bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600,
                                400, nullptr, nullptr, nullptr, nullptr);
    HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, L"RichEdit20W", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY,
                                10, 10, 550, 180, parent, nullptr, nullptr, nullptr);
    SendMessageW(view, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    Source source{bytes.data(), bytes.size()};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = StreamIn;
    const double t0 = ClockMilliseconds();
    SendMessageW(view, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    UpdateWindow(view);
    const double t1 = ClockMilliseconds();
    const std::u16string text(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
    const std::u16string wrapped = RewrapMail(text);
    const double t2 = ClockMilliseconds();
    std::printf("load %.0f\nengine %.1f\n", t1 - t0, t2 - t1);
    DestroyWindow(parent);
    return wrapped.empty() && !text.empty() ? 1 : 0;
}
