// The entry point: start-up, the window and its event loop, shutdown.
#include <windows.h>

#include "ui/DisplayScale.h"
#include "ui/Language.h"
#include "ui/MainWindowLayout.h"
#include "ui/UiTexts.h"
#include "ui/WindowWin32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Services: the font resolution before DPI awareness, the window classes.
    ReadStartupDpi();
    WindowServicesStart(instance);

    FillUiTexts(DetectUiLanguage());
    const float scaleX = ScaleX();
    const float scaleY = ScaleY();

    if (OpenMainWindow(scaleX, scaleY, OsVersionCode())) {
        for (;;) {
            const Event event = EventWait();
            if (event.kind == EventKind::CloseRequested) break;
            if (event.kind == EventKind::Clicked && event.control == GadgetQuit) break;
        }
    }

    WindowClose();
    for (std::u16string& text : UiTexts) std::u16string().swap(text);
    ExitProcess(0);
}
