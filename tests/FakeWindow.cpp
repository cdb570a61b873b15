#include "tests/FakeWindow.h"

FakeWindowState fakeWindow;

void FakeWindowReset() { fakeWindow = FakeWindowState{}; }

namespace {
FakeControl* Control(int number) {
    if (number < 0 || number >= 16 || !fakeWindow.controls[number].exists) return nullptr;
    return &fakeWindow.controls[number];
}
} // namespace

bool WindowOpen(std::u16string_view title, int32_t clientWidth, int32_t clientHeight) {
    fakeWindow.calls.push_back("WindowOpen");
    if (fakeWindow.openFails) return false;
    fakeWindow.open = true;
    fakeWindow.title = title;
    fakeWindow.clientWidth = clientWidth;
    fakeWindow.clientHeight = clientHeight;
    return true;
}

void WindowClose() {
    fakeWindow.calls.push_back("WindowClose");
    fakeWindow.closed = true;
}

void ControlCreate(int number, ControlKind kind, PixelRect rect, std::u16string_view text) {
    fakeWindow.calls.push_back("ControlCreate " + std::to_string(number));
    FakeControl& c = fakeWindow.controls[number];
    c = FakeControl{};
    c.exists = true;
    c.kind = kind;
    c.rect = rect;
    c.text = text;
    c.font = fakeWindow.defaultFont;
}

void ControlSetFont(int number, int font) {
    fakeWindow.calls.push_back("ControlSetFont " + std::to_string(number) + " " +
                               std::to_string(font));
    if (FakeControl* c = Control(number)) c->font = font;
}

void ControlSetText(int number, std::u16string_view text) {
    fakeWindow.calls.push_back("ControlSetText " + std::to_string(number));
    if (FakeControl* c = Control(number)) {
        c->text = text;
        ++c->textSets;
    }
}

std::u16string ControlText(int number) {
    FakeControl* c = Control(number);
    return c != nullptr ? c->text : u"";
}

void ControlSetTextColour(int number, Colour colour) {
    fakeWindow.calls.push_back("ControlSetTextColour " + std::to_string(number));
    if (FakeControl* c = Control(number)) {
        c->hasColour = true;
        c->colour = colour;
    }
}

void ControlShow(int number, bool visible) {
    fakeWindow.calls.push_back("ControlShow " + std::to_string(number));
    if (FakeControl* c = Control(number)) c->visible = visible;
}

void FontLoad(int number, std::u16string_view face, int32_t pointSize, bool bold) {
    fakeWindow.calls.push_back("FontLoad " + std::to_string(number));
    fakeWindow.fonts[number] = FakeFont{true, std::u16string(face), pointSize, bold};
}

void DefaultFontSet(int font) {
    fakeWindow.calls.push_back("DefaultFontSet " + std::to_string(font));
    fakeWindow.defaultFont = font;
}

void MessageBoxShow(std::u16string_view caption, std::u16string_view text) {
    fakeWindow.calls.push_back("MessageBoxShow");
    fakeWindow.messageBoxes.push_back(std::u16string(caption) + u"|" + std::u16string(text));
}

Event EventWait() {
    if (fakeWindow.script.empty()) return {EventKind::CloseRequested, -1};
    FakeStep step = std::move(fakeWindow.script.front());
    fakeWindow.script.pop_front();
    if (step.before) step.before();
    return step.event;
}
