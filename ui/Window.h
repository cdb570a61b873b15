// The window-and-control layer: one top-level window, its controls and fonts,
// all addressed by number. The workflow sees nothing else of the window, so
// its tests can link a scripted stand-in in place of the Win32 one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class ControlKind { Label, CentredLabel, TextView, PushButton, Link };

struct PixelRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

enum class EventKind { Activated, Clicked, CloseRequested };

struct Event {
    EventKind kind = EventKind::CloseRequested;
    int control = -1; // for Clicked
};

// Opens, centres and shows (activated) the window with a client area of the
// given size. False when it cannot be opened.
[[nodiscard]] bool WindowOpen(std::u16string_view title, int32_t clientWidth,
                              int32_t clientHeight);
// Destroys the window with its controls, then the fonts.
void WindowClose();

// Creates control `number`, which gets the default font.
void ControlCreate(int number, ControlKind kind, PixelRect rect, std::u16string_view text);
void ControlSetFont(int number, int font);
void ControlSetText(int number, std::u16string_view text);
[[nodiscard]] std::u16string ControlText(int number);
// The text colour of a label, or of the link (whose hover colour stays).
void ControlSetTextColour(int number, Colour colour);
void ControlShow(int number, bool visible);

// Makes font `number` from a face, a size in points and the bold flag.
void FontLoad(int number, std::u16string_view face, int32_t pointSize, bool bold);
// The font that controls created from now on receive.
void DefaultFontSet(int font);

// A message box with an OK button, owned by the window if there is one.
void MessageBoxShow(std::u16string_view caption, std::u16string_view text);

// Waits, without a time-out, for the next event of the window.
[[nodiscard]] Event EventWait();
