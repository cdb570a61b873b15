// The window-and-control layer on the Windows API.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>
#include <shlwapi.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <cstring>
#include <deque>
#include <string>

#include "ui/DisplayScale.h"
#include "ui/MainWindowLayout.h"
#include "ui/SystemLibrary.h"
#include "ui/Window.h"
#include "ui/WindowWin32.h"

namespace {

constexpr int MaxControls = 16;
constexpr int MaxFonts = 4;
// Control ids start above IDOK and IDCANCEL, which IsDialogMessage sends for
// Enter and Escape.
constexpr int ControlIdBase = 100;
constexpr UINT_PTR LinkHoverTimer = 1;
constexpr wchar_t WindowClassName[] = L"OstrelMainWindow";

HINSTANCE instance = nullptr;
HICON programIcon = nullptr;
HWND mainWindow = nullptr;
HWND controls[MaxControls] = {};
ControlKind kinds[MaxControls] = {};
bool hasTextColour[MaxControls] = {};
COLORREF textColours[MaxControls] = {};
HFONT fonts[MaxFonts] = {};
HFONT controlFonts[MaxControls] = {}; // rich edit does not answer WM_GETFONT
HFONT defaultFont = nullptr;
HMODULE richEditLibrary = nullptr;
bool visualStyles = false;
HWND focusOnLeave = nullptr; // the control to give the focus back to on return
std::deque<Event> events;

// The link label draws itself; one link, so its state is kept here.
struct LinkState {
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF hoverColour = RGB(0, 0, 255);
    bool underline = true;
    bool hovered = false;
};
LinkState link;

// Window messages that are sent, not posted (activation among them), reach
// the window procedure inside GetMessageW, which then waits on for a posted
// one: a posted WM_NULL wakes the loop to hand out the event at once.
void EventPush(EventKind kind, int control) {
    events.push_back({kind, control});
    if (mainWindow != nullptr) PostMessageW(mainWindow, WM_NULL, 0, 0);
}

const wchar_t* Wide(std::u16string_view text, std::wstring& buffer) {
    buffer.assign(text.begin(), text.end());
    return buffer.c_str();
}

HWND Control(int number) {
    return number >= 0 && number < MaxControls ? controls[number] : nullptr;
}

int ControlNumber(HWND hwnd) {
    for (int n = 0; n < MaxControls; ++n) {
        if (controls[n] != nullptr && controls[n] == hwnd) return n;
    }
    return -1;
}

// --- The link label -------------------------------------------------------

void LinkPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(hwnd)));
    FillRect(dc, &ps.rcPaint, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    RECT client;
    GetClientRect(hwnd, &client);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);

    const int len = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), len + 1);
    text.resize(static_cast<size_t>(len));

    const COLORREF colour = !IsWindowEnabled(hwnd) ? GetSysColor(COLOR_GRAYTEXT)
                            : link.hovered         ? link.hoverColour
                                                   : link.textColour;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    TextOutW(dc, 0, 0, text.c_str(), len);
    if (link.underline) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), len, &extent);
        HPEN pen = CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        MoveToEx(dc, 0, extent.cy, nullptr);
        LineTo(dc, extent.cx, extent.cy);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    if (oldFont != nullptr) SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

void LinkCheckHover(HWND hwnd) {
    const DWORD pos = GetMessagePos();
    POINT p{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ScreenToClient(hwnd, &p);
    RECT client;
    GetClientRect(hwnd, &client);
    // The right and bottom edges count as inside.
    const bool inside =
        p.x >= client.left && p.x <= client.right && p.y >= client.top && p.y <= client.bottom;
    if (inside && IsWindowEnabled(hwnd)) return;
    link.hovered = false;
    KillTimer(hwnd, LinkHoverTimer);
    InvalidateRect(hwnd, nullptr, TRUE);
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
    switch (msg) {
    case WM_NCHITTEST: return HTCLIENT; // a plain static lets the mouse through
    case WM_PAINT: LinkPaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETCURSOR: {
        HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
        SetCursor(hand != nullptr ? hand : LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    case WM_MOUSEMOVE:
        if (!link.hovered) {
            link.hovered = true;
            InvalidateRect(hwnd, nullptr, TRUE);
            SetTimer(hwnd, LinkHoverTimer, 30, nullptr);
        }
        return 0;
    case WM_TIMER:
        if (wParam == LinkHoverTimer) {
            LinkCheckHover(hwnd);
            return 0;
        }
        break;
    case WM_LBUTTONUP: EventPush(EventKind::Clicked, ControlNumber(hwnd)); return 0;
    case WM_SETTEXT:
    case WM_SETFONT: {
        const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    default: break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// --- The text view ----------------------------------------------------------

// Rich edit draws no themed border of its own: with visual styles it gets a
// one-pixel frame, painted with the theme's read-only edit box.
void ViewPaintThemedBorder(HWND hwnd) {
    HTHEME theme = OpenThemeData(hwnd, L"Edit");
    if (theme == nullptr) return;
    HDC dc = GetWindowDC(hwnd);
    RECT outer;
    GetWindowRect(hwnd, &outer);
    OffsetRect(&outer, -outer.left, -outer.top);
    RECT inner = outer;
    InflateRect(&inner, -1, -1);
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    DrawThemeBackground(theme, dc, EP_EDITTEXT, ETS_READONLY, &outer, nullptr);
    ReleaseDC(hwnd, dc);
    CloseThemeData(theme);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg == WM_NCPAINT && visualStyles) ViewPaintThemedBorder(hwnd);
    if (msg == WM_GETDLGCODE) {
        // Nothing can be typed into the view, so Tab moves on as in a dialog.
        const auto* keyMsg = reinterpret_cast<const MSG*>(lParam);
        const bool tab = keyMsg != nullptr && keyMsg->message == WM_KEYDOWN && keyMsg->wParam == VK_TAB;
        LRESULT code = result & ~static_cast<LRESULT>(DLGC_WANTTAB | DLGC_WANTALLKEYS);
        if (tab) code &= ~static_cast<LRESULT>(DLGC_WANTMESSAGE);
        return code;
    }
    return result;
}

bool VisualStylesOn() {
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (comctl == nullptr) return false;
    auto getVersion = ProcAddress<DLLGETVERSIONPROC>(comctl, "DllGetVersion");
    if (getVersion == nullptr) return false;
    DLLVERSIONINFO version{};
    version.cbSize = sizeof version;
    if (FAILED(getVersion(&version)) || version.dwMajorVersion < 6) return false;
    return IsAppThemed() != FALSE;
}

// --- Streaming text into the view ----------------------------------------

struct StreamSource {
    const char* data;
    size_t left;
};

DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    // Whole code units only, and never a CR at the end of a piece when an LF
    // may follow: rich edit would take the two halves of a CR LF for two
    // line ends.
    size_t n = source->left < static_cast<size_t>(size) ? source->left : size_t(size);
    n &= ~size_t{1};
    if (n < source->left && n > 2 && source->data[n - 2] == '\r' && source->data[n - 1] == 0) {
        n -= 2;
    }
    std::memcpy(buffer, source->data, n);
    source->data += n;
    source->left -= n;
    *written = static_cast<LONG>(n);
    return 0;
}

// Plain Unicode text only, so that a text which starts like RTF is shown as
// it is; with redraw off, the control does its work once.
void ViewStreamIn(HWND view, std::u16string_view text) {
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    StreamSource source{reinterpret_cast<const char*>(text.data()), text.size() * 2};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = StreamIn;
    SendMessageW(view, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view, nullptr, TRUE);
}

const wchar_t* viewClass = L"RichEdit20W";

HWND ViewMake(int id, PixelRect r) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                        ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                        ES_WANTRETURN | ES_READONLY | (visualStyles ? WS_BORDER : 0);
    HWND view = CreateWindowExW(visualStyles ? 0 : WS_EX_CLIENTEDGE, viewClass, L"", style, r.x,
                                r.y, r.width, r.height, mainWindow,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                nullptr);
    if (view == nullptr) return nullptr;
    // EM_LIMITTEXT alone stops near 64 K characters in rich edit.
    SendMessageW(view, EM_LIMITTEXT, static_cast<WPARAM>(-1), 0);
    SendMessageW(view, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageW(view, EM_SETTARGETDEVICE, 0, 1); // no word wrap
    SetWindowSubclass(view, ViewProc, 0, 0);
    return view;
}

HWND ViewCreate(int id, PixelRect r) {
    richEditLibrary = LoadSystemLibrary(L"riched20.dll");
    if (richEditLibrary == nullptr) {
        richEditLibrary = LoadSystemLibrary(L"riched32.dll");
        viewClass = L"RichEdit";
    }
    if (richEditLibrary == nullptr) return nullptr;
    visualStyles = VisualStylesOn();
    return ViewMake(id, r);
}

// A new text goes into a new control in the old one's place: rich edit takes
// its time to delete a long text, far longer than to load one (minutes for
// megabytes of short lines under Wine), while a control is destroyed at once.
void ViewSetText(int number, std::u16string_view text) {
    HWND old = controls[number];
    if (GetWindowTextLengthW(old) == 0) {
        ViewStreamIn(old, text);
        return;
    }
    RECT r;
    GetWindowRect(old, &r);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&r), 2);
    HWND view = ViewMake(GetDlgCtrlID(old), {r.left, r.top, r.right - r.left, r.bottom - r.top});
    if (view == nullptr) {
        SendMessageW(old, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        ViewStreamIn(old, text);
        return;
    }
    if (controlFonts[number] != nullptr) {
        SendMessageW(view, WM_SETFONT, reinterpret_cast<WPARAM>(controlFonts[number]), FALSE);
    }
    // The same place in the Tab order, and the focus if it had it.
    HWND before = GetWindow(old, GW_HWNDPREV);
    SetWindowPos(view, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool focused = GetFocus() == old;
    if (focusOnLeave == old) focusOnLeave = view;
    controls[number] = view;
    DestroyWindow(old);
    if (focused) SetFocus(view);
    ViewStreamIn(view, text);
}

// --- The main window ------------------------------------------------------

LRESULT OnCtlColorStatic(HDC dc, HWND control) {
    const int n = ControlNumber(control);
    SetTextColor(dc, n >= 0 && hasTextColour[n] ? textColours[n] : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED || lParam == 0) return;
    const int n = ControlNumber(reinterpret_cast<HWND>(lParam));
    if (n >= 0 && kinds[n] == ControlKind::PushButton) EventPush(EventKind::Clicked, n);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            focusOnLeave = focus != nullptr && IsChild(hwnd, focus) ? focus : nullptr;
            break;
        }
        EventPush(EventKind::Activated, -1);
        // As a dialog does: the control that had the focus gets it back.
        if (focusOnLeave != nullptr && IsWindowVisible(focusOnLeave)) {
            SetFocus(focusOnLeave);
            return 0;
        }
        break;
    case WM_COMMAND: OnCommand(wParam, lParam); return 0;
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE: EventPush(EventKind::CloseRequested, -1); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

bool WindowServicesStart(HINSTANCE programInstance) {
    instance = programInstance;
    INITCOMMONCONTROLSEX init{sizeof init, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    programIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = programIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = WindowClassName;
    return RegisterClassExW(&wc) != 0;
}

HWND MainWindowHandle() { return mainWindow; }

bool WindowOpen(std::u16string_view title, int32_t clientWidth, int32_t clientHeight) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    std::wstring buffer;
    mainWindow = CreateWindowExW(0, WindowClassName, Wide(title, buffer), style, 0, 0,
                                 outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                 nullptr, instance, nullptr);
    if (mainWindow == nullptr) return false;
    RECT placed;
    GetWindowRect(mainWindow, &placed);
    const int w = placed.right - placed.left;
    const int h = placed.bottom - placed.top;
    SetWindowPos(mainWindow, nullptr, CentredOrigin(GetSystemMetrics(SM_CXSCREEN), w),
                 CentredOrigin(GetSystemMetrics(SM_CYSCREEN), h), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    return true;
}

void WindowClose() {
    if (mainWindow != nullptr) DestroyWindow(mainWindow);
    mainWindow = nullptr;
    for (HWND& c : controls) c = nullptr;
    // The view's library goes after the view, the fonts after the window.
    if (richEditLibrary != nullptr) FreeLibrary(richEditLibrary);
    richEditLibrary = nullptr;
    for (HFONT& f : fonts) {
        if (f != nullptr) DeleteObject(f);
        f = nullptr;
    }
    defaultFont = nullptr;
    if (programIcon != nullptr) DestroyIcon(programIcon);
    programIcon = nullptr;
}

void ControlCreate(int number, ControlKind kind, PixelRect r, std::u16string_view text) {
    if (number < 0 || number >= MaxControls || mainWindow == nullptr) return;
    const int id = ControlIdBase + number;
    auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    std::wstring buffer;
    const wchar_t* wide = Wide(text, buffer);
    HWND hwnd = nullptr;
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::CentredLabel: {
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX |
                            (kind == ControlKind::CentredLabel ? SS_CENTER : SS_LEFT);
        hwnd = CreateWindowExW(0, L"Static", wide, style, r.x, r.y, r.width, r.height, mainWindow,
                               menu, instance, nullptr);
        break;
    }
    case ControlKind::TextView:
        hwnd = ViewCreate(id, r);
        if (hwnd != nullptr && !text.empty()) ViewStreamIn(hwnd, text);
        break;
    case ControlKind::PushButton:
        hwnd = CreateWindowExW(0, L"Button", wide,
                               WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, r.x,
                               r.y, r.width, r.height, mainWindow, menu, instance, nullptr);
        break;
    case ControlKind::Link:
        hwnd = CreateWindowExW(0, L"STATIC", wide, WS_CHILD, r.x, r.y, r.width, r.height,
                               mainWindow, menu, instance, nullptr);
        if (hwnd != nullptr) {
            link = LinkState{};
            SetWindowSubclass(hwnd, LinkProc, 0, 0);
            ShowWindow(hwnd, SW_SHOWNA);
        }
        break;
    }
    controls[number] = hwnd;
    kinds[number] = kind;
    controlFonts[number] = defaultFont;
    if (hwnd != nullptr && defaultFont != nullptr) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont), TRUE);
    }
}

void ControlSetFont(int number, int font) {
    HWND hwnd = Control(number);
    if (hwnd == nullptr || font < 0 || font >= MaxFonts || fonts[font] == nullptr) return;
    controlFonts[number] = fonts[font];
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[font]), TRUE);
}

void ControlSetText(int number, std::u16string_view text) {
    HWND hwnd = Control(number);
    if (hwnd == nullptr) return;
    if (kinds[number] == ControlKind::TextView) {
        ViewSetText(number, text);
        return;
    }
    std::wstring buffer;
    SetWindowTextW(hwnd, Wide(text, buffer));
}

std::u16string ControlText(int number) {
    HWND hwnd = Control(number);
    if (hwnd == nullptr) return u"";
    const int len = GetWindowTextLengthW(hwnd);
    std::wstring buffer(static_cast<size_t>(len) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, buffer.data(), len + 1);
    return std::u16string(buffer.begin(), buffer.begin() + got);
}

void ControlSetTextColour(int number, Colour colour) {
    HWND hwnd = Control(number);
    if (hwnd == nullptr) return;
    const COLORREF c = RGB(colour.red, colour.green, colour.blue);
    if (kinds[number] == ControlKind::Link) {
        link.textColour = c;
    } else {
        hasTextColour[number] = true;
        textColours[number] = c;
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

void ControlShow(int number, bool visible) {
    HWND hwnd = Control(number);
    if (hwnd != nullptr) ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void FontLoad(int number, std::u16string_view face, int32_t pointSize, bool bold) {
    if (number < 0 || number >= MaxFonts) return;
    if (fonts[number] != nullptr) DeleteObject(fonts[number]);
    std::wstring buffer;
    fonts[number] = CreateFontW(FontHeightFromPoints(pointSize, startupDpiY), 0, 0, 0,
                                bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0,
                                Wide(face, buffer));
}

void DefaultFontSet(int font) {
    defaultFont = font >= 0 && font < MaxFonts ? fonts[font] : nullptr;
}

void MessageBoxShow(std::u16string_view caption, std::u16string_view text) {
    std::wstring c, t;
    MessageBoxW(mainWindow, Wide(text, t), Wide(caption, c), MB_OK);
}

Event EventWait() {
    while (events.empty()) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) return {EventKind::CloseRequested, -1};
        // Tab and Shift+Tab among the controls, as in a dialog.
        if (mainWindow != nullptr && IsDialogMessageW(mainWindow, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    const Event next = events.front();
    events.pop_front();
    return next;
}
