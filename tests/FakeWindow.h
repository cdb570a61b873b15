// A scripted stand-in for the window-and-control layer: it records what the
// program does to its controls and hands out events from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/Window.h"

struct FakeControl {
    bool exists = false;
    ControlKind kind = ControlKind::Label;
    PixelRect rect;
    std::u16string text;
    int font = -1;
    bool visible = true;
    bool hasColour = false;
    Colour colour;
    int textSets = 0; // how often the text was set
};

struct FakeFont {
    bool loaded = false;
    std::u16string face;
    int32_t points = 0;
    bool bold = false;
};

// One step of the script: what happens in the world, then the event.
struct FakeStep {
    std::function<void()> before;
    Event event;
};

struct FakeWindowState {
    bool openFails = false;
    bool open = false;
    bool closed = false;
    std::u16string title;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    FakeControl controls[16];
    FakeFont fonts[4];
    int defaultFont = -1;
    std::vector<std::string> calls; // in order, for checking the order of work
    std::vector<std::u16string> messageBoxes;
    std::deque<FakeStep> script; // when it runs out, the window is closed
};

extern FakeWindowState fakeWindow;

void FakeWindowReset();
