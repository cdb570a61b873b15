// What the start-up and the clipboard need of the Win32 window layer beyond
// the portable interface.
#pragma once

#include <windows.h>

// Registers the window class with the program's icon and the arrow cursor,
// and initialises the common controls.
bool WindowServicesStart(HINSTANCE instance);

// The main window, or nullptr before it is open: the clipboard's owner.
[[nodiscard]] HWND MainWindowHandle();
