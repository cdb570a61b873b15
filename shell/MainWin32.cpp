// The entry point: start-up, the window and its event loop, shutdown.
#include <windows.h>

#include "ui/DisplayScale.h"
#include "ui/Language.h"
#include "ui/UiTexts.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ReadStartupDpi();
    FillUiTexts(DetectUiLanguage());
    const float scaleX = ScaleX();
    const float scaleY = ScaleY();
    (void)scaleX;
    (void)scaleY;
    ExitProcess(0);
}
