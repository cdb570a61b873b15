// Loaded into the program under test by a window hook, as an inspector such
// as Spy++ is: it writes what the window holds, seen from inside the
// process (fonts and colours cannot be read from outside), as JSON.
#include <windows.h>

#include <richedit.h>

#include <cstdio>
#include <string>

namespace {

HMODULE self = nullptr;

std::string Json(const std::wstring& text) {
    std::string out = "\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out + "\"";
}

std::wstring WindowText(HWND hwnd) {
    const int len = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    const int got = static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(len + 1),
                                                  reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<size_t>(got));
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::string Rect(const RECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top) + "]";
}

std::string Colour(COLORREF c) {
    return "[" + std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," +
           std::to_string(GetBValue(c)) + "]";
}

std::string FontOf(HWND hwnd, const std::wstring& text, SIZE& extent) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    extent = SIZE{};
    if (font == nullptr) return "null";
    LOGFONTW lf{};
    if (GetObjectW(font, sizeof lf, &lf) == 0) return "null";
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return "{\"face\":" + Json(lf.lfFaceName) + ",\"height\":" + std::to_string(lf.lfHeight) +
           ",\"weight\":" + std::to_string(lf.lfWeight) + ",\"italic\":" +
           std::to_string(lf.lfItalic) + ",\"quality\":" + std::to_string(lf.lfQuality) + "}";
}

// The colour a label is drawn in: what its parent sets for it.
std::string StaticTextColour(HWND parent, HWND control) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(control));
    const COLORREF c = GetTextColor(dc);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return Colour(c);
}

std::string Report(HWND window) {
    std::string out = "{\"title\":" + Json(WindowText(window));
    RECT client, outer;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    out += ",\"class\":" + Json(ClassOf(window));
    out += ",\"client\":[" + std::to_string(client.right) + "," + std::to_string(client.bottom) +
           "]";
    out += ",\"clientOrigin\":[" + std::to_string(origin.x) + "," + std::to_string(origin.y) + "]";
    out += ",\"outer\":" + Rect(outer);
    out += ",\"screen\":[" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," +
           std::to_string(GetSystemMetrics(SM_CYSCREEN)) + "]";
    out += ",\"style\":" + std::to_string(GetWindowLongW(window, GWL_STYLE));
    out += ",\"exStyle\":" + std::to_string(GetWindowLongW(window, GWL_EXSTYLE));
    out += ",\"classStyle\":" + std::to_string(GetClassLongPtrW(window, GCL_STYLE));
    out += ",\"classBrush\":" + std::to_string(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    out += ",\"classIcon\":" + std::string(GetClassLongPtrW(window, GCLP_HICON) ? "true" : "false");
    out += ",\"menu\":" + std::string(GetMenu(window) ? "true" : "false");
    out += ",\"active\":" + std::string(GetActiveWindow() == window ? "true" : "false");
    HWND focus = GetFocus();
    out += ",\"focus\":" + (focus != nullptr && IsChild(window, focus)
                                ? std::to_string(GetDlgCtrlID(focus))
                                : std::string("null"));
    out += ",\"controls\":[";
    bool first = true;
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!first) out += ",";
        first = false;
        RECT r;
        GetWindowRect(c, &r);
        RECT screenRect = r;
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        const std::wstring text = WindowText(c);
        SIZE extent;
        out += "{\"id\":" + std::to_string(GetDlgCtrlID(c));
        out += ",\"class\":" + Json(ClassOf(c));
        out += ",\"text\":" + Json(text);
        out += ",\"visible\":" + std::string(IsWindowVisible(c) ? "true" : "false");
        out += ",\"enabled\":" + std::string(IsWindowEnabled(c) ? "true" : "false");
        out += ",\"rect\":" + Rect(r) + ",\"screenRect\":" + Rect(screenRect);
        out += ",\"style\":" + std::to_string(GetWindowLongW(c, GWL_STYLE));
        out += ",\"exStyle\":" + std::to_string(GetWindowLongW(c, GWL_EXSTYLE));
        out += ",\"font\":" + FontOf(c, text, extent);
        out += ",\"textExtent\":[" + std::to_string(extent.cx) + "," + std::to_string(extent.cy) +
               "]";
        const std::wstring cls = ClassOf(c);
        if (lstrcmpiW(cls.c_str(), L"Static") == 0) {
            out += ",\"textColour\":" + StaticTextColour(window, c);
        }
        if (cls.rfind(L"RichEdit", 0) == 0 || cls.rfind(L"RICHEDIT", 0) == 0) {
            out += ",\"limit\":" + std::to_string(SendMessageW(c, EM_GETLIMITTEXT, 0, 0));
            CHARFORMATW format{};
            format.cbSize = sizeof format;
            SendMessageW(c, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
            out += ",\"viewFace\":" + Json(format.szFaceName);
            out += ",\"viewTwips\":" + std::to_string(format.yHeight);
            out += ",\"viewBold\":" + std::string(format.dwEffects & CFE_BOLD ? "true" : "false");
        }
        out += "}";
    }
    return out + "]}";
}

std::wstring BesideSelf(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD len = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring dir(path, len);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + name;
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHookProc(int code, WPARAM wParam,
                                                                LPARAM lParam) {
    static const UINT reportMessage = RegisterWindowMessageW(L"OstrelProbeReport");
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == reportMessage) {
            // The probe names the file to write in a file of its own beside us.
            wchar_t target[MAX_PATH] = {};
            FILE* request = _wfopen(BesideSelf(L"probe-target.txt").c_str(), L"rb");
            if (request != nullptr) {
                const size_t n = std::fread(target, sizeof(wchar_t), MAX_PATH - 1, request);
                target[n] = L'\0';
                std::fclose(request);
            }
            const std::string report = Report(call->hwnd);
            FILE* out = _wfopen(target, L"wb");
            if (out != nullptr) {
                std::fwrite(report.data(), 1, report.size(), out);
                std::fclose(out);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}
