// The entry point: start-up, the window and its event loop, shutdown.
#include <windows.h>

#include <objbase.h>

#include "shell/Workflow.h"
#include "ui/DisplayScale.h"
#include "ui/Language.h"
#include "ui/MainWindowLayout.h"
#include "ui/UiTexts.h"
#include "ui/WindowWin32.h"

// The command line is not read: Ostrel takes its text from the clipboard only.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Services: the font resolution before DPI awareness, the window classes,
    // and COM last, for the shell call of the link.
    ReadStartupDpi();
    WindowServicesStart(instance);
    (void)CoInitialize(nullptr);

    FillUiTexts(DetectUiLanguage());
    const float scaleX = ScaleX();
    const float scaleY = ScaleY();

    if (OpenMainWindow(scaleX, scaleY, OsVersionCode())) RunEventLoop();

    WindowClose();
    for (std::u16string& text : UiTexts) std::u16string().swap(text);
    ExitProcess(0);
}
