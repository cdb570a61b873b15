#include <windows.h>

#include "ui/DisplayScale.h"
#include "ui/SystemLibrary.h"

bool scaleReady = false;
int32_t startupDpiY = 96;

namespace {
float scaleX = 1.0f;
float scaleY = 1.0f;
} // namespace

void ReadStartupDpi() {
    HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (display == nullptr) return;
    startupDpiY = GetDeviceCaps(display, LOGPIXELSY);
    DeleteDC(display);
}

void InitDisplayScale() {
    HMODULE user = LoadSystemLibrary(L"user32.dll");
    if (user != nullptr) {
        using DpiFn = BOOL(WINAPI*)();
        auto isAware = ProcAddress<DpiFn>(user, "IsProcessDPIAware");
        const BOOL aware = isAware != nullptr ? isAware() : FALSE;
        if (!aware) {
            auto setAware = ProcAddress<DpiFn>(user, "SetProcessDPIAware");
            if (setAware != nullptr) setAware();
        }
        FreeLibrary(user);
    }
    HDC screen = GetDC(nullptr);
    if (screen != nullptr) {
        scaleX = ScaleFactorFromDpi(GetDeviceCaps(screen, LOGPIXELSX));
        scaleY = ScaleFactorFromDpi(GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
    }
    scaleReady = true;
}

float ScaleX() {
    if (!scaleReady) InitDisplayScale();
    return scaleX;
}

float ScaleY() {
    if (!scaleReady) InitDisplayScale();
    return scaleY;
}
