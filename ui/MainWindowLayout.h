// What the main window holds and where: nominal 96-dpi units, and the
// arithmetic that turns them into pixels.
#pragma once

#include <cstdint>

#include "ui/UiTexts.h"
#include "ui/Window.h"

enum Gadget : int {
    GadgetTitle,
    GadgetStep1Heading,
    GadgetStep1Help,
    GadgetClipboardLabel,
    GadgetClipboardView,
    GadgetStep2Heading,
    GadgetStatus,
    GadgetGo,
    GadgetStep3Heading,
    GadgetStep3Help,
    GadgetLink,
    GadgetQuit,
    GadgetCount
};

enum Font : int { FontText, FontTitle, FontHeading, FontFixed, FontCount };

struct ControlSpec {
    ControlKind kind;
    float x, y, width, height; // nominal units
    int text;                  // entry of UiTexts, or -1 for the copyright notice
};

inline constexpr ControlSpec MainWindowControls[GadgetCount] = {
    {ControlKind::CentredLabel, 15, 20, 550, 30, Title},
    {ControlKind::Label, 15, 75, 380, 20, Step1Heading},
    {ControlKind::Label, 15, 95, 550, 40, Step1Help},
    {ControlKind::Label, 15, 140, 550, 20, ClipboardLabel},
    {ControlKind::TextView, 15, 165, 550, 180, -1},
    {ControlKind::Label, 15, 365, 380, 20, Step2Heading},
    {ControlKind::Label, 15, 385, 190, 20, ClickPrompt},
    {ControlKind::PushButton, 210, 381, 90, 25, GoCaption},
    {ControlKind::Label, 15, 425, 380, 20, Step3Heading},
    {ControlKind::Label, 15, 445, 550, 70, Step3Help},
    {ControlKind::Link, 15, 542, 120, 70, -1},
    {ControlKind::PushButton, 475, 535, 90, 30, QuitCaption},
};

inline constexpr float MainWindowClientSize = 580; // nominal, both ways
inline constexpr char16_t MainWindowTitle[] = u"Ostrel 1.00";
inline constexpr char16_t CopyrightNotice[] = u"\u00A9 2026 ostrel.org";

// A control's place in pixels: each value times its factor, by itself.
//
// Example: ControlPixels(MainWindowControls[GadgetGo], 1.5f, 1.5f) == {315, 572, 135, 38}
[[nodiscard]] PixelRect ControlPixels(const ControlSpec& place, float scaleX, float scaleY);

// Point sizes of the text and title fonts: fixed up to Windows 8 (code 90),
// scaled with the display on later systems.
//
// Example: BasePointSize(110, 1.25f) == 11
[[nodiscard]] int32_t BasePointSize(int32_t versionCode, float scaleY);
[[nodiscard]] int32_t TitlePointSize(int32_t versionCode, float scaleY);

// Where a window of extent `outer` starts on a screen of extent `screen` to
// be centred; at the edge when it is larger.
//
// Example: CentredOrigin(1280, 600) == 340
[[nodiscard]] int32_t CentredOrigin(int32_t screen, int32_t outer);

// Opens the main window with its controls and fonts, for the given scale
// factors and Windows version code. When the window
// cannot be opened, shows "Fatal error" and returns false.
[[nodiscard]] bool OpenMainWindow(float scaleX, float scaleY, int32_t versionCode);
