// The clipboard workflow: the program's event loop, and what it asks of the
// platform beside the window-and-control layer.
#pragma once

#include <string>
#include <string_view>

#include "ui/Window.h"

// The page the link label opens.
inline constexpr char16_t AuthorPage[] = u"https://ostrel.org/";

inline constexpr Colour StatusGreen{0, 136, 0};
inline constexpr Colour StatusBlack{0, 0, 0};
inline constexpr Colour StatusRed{192, 0, 0};

// Reads the clipboard's text up to its first NUL into `text`; the empty text
// when the clipboard holds none. False when the clipboard could not be
// opened, even after a few short retries: another program holds it.
[[nodiscard]] bool ClipboardReadText(std::u16string& text);

// Replaces the clipboard's content with `text`. False when that could not be
// done, even after a few short retries.
[[nodiscard]] bool ClipboardWriteText(std::u16string_view text);

// Hands `address` to the system's shell, to be opened by its default action.
void WebPageOpen(std::u16string_view address);

// Runs the window's events until Quit is clicked or the window is asked to
// close. On each activation a new clipboard text is shown and re-wrapped; Go
// puts the re-wrapped text on the clipboard, Undo the original.
void RunEventLoop();
