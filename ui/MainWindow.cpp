#include <algorithm>

#include "ui/DisplayScale.h"
#include "ui/MainWindowLayout.h"

PixelRect ControlPixels(const ControlSpec& place, float scaleX, float scaleY) {
    return {ScalePixels(place.x, scaleX), ScalePixels(place.y, scaleY),
            ScalePixels(place.width, scaleX), ScalePixels(place.height, scaleY)};
}

namespace {

int32_t PointSize(int32_t versionCode, float scaleY, float points) {
    if (versionCode <= 90) return static_cast<int32_t>(points);
    const float scaled = points * scaleY; // held in single precision, as the system would
    return RoundHalfEven(scaled);
}

} // namespace

int32_t BasePointSize(int32_t versionCode, float scaleY) {
    return PointSize(versionCode, scaleY, 9.0f);
}

int32_t TitlePointSize(int32_t versionCode, float scaleY) {
    return PointSize(versionCode, scaleY, 14.0f);
}

int32_t CentredOrigin(int32_t screen, int32_t outer) {
    return (screen - std::min(screen, outer)) / 2;
}

bool OpenMainWindow(float scaleX, float scaleY, int32_t versionCode) {
    if (!WindowOpen(MainWindowTitle, ScalePixels(MainWindowClientSize, scaleX),
                    ScalePixels(MainWindowClientSize, scaleY))) {
        MessageBoxShow(u"Fatal error", u"Program terminated.");
        return false;
    }
    const int32_t basePoints = BasePointSize(versionCode, scaleY);
    const int32_t titlePoints = TitlePointSize(versionCode, scaleY);

    FontLoad(FontText, u"Segoe UI", basePoints, false);
    DefaultFontSet(FontText);
    for (int n = 0; n < GadgetCount; ++n) {
        const ControlSpec& place = MainWindowControls[n];
        const std::u16string_view text =
            place.text >= 0 ? std::u16string_view(UiTexts[place.text])
                           : (n == GadgetLink ? CopyrightNotice : u"");
        ControlCreate(n, place.kind, ControlPixels(place, scaleX, scaleY), text);
    }
    FontLoad(FontTitle, u"Segoe UI", titlePoints, false);
    ControlSetFont(GadgetTitle, FontTitle);
    FontLoad(FontHeading, u"Segoe UI", basePoints, true);
    ControlSetFont(GadgetStep1Heading, FontHeading);
    ControlSetFont(GadgetStep2Heading, FontHeading);
    ControlSetFont(GadgetStep3Heading, FontHeading);
    FontLoad(FontFixed, u"Consolas", basePoints, false);
    ControlSetFont(GadgetClipboardView, FontFixed);
    ControlSetTextColour(GadgetLink, Colour{0, 0, 255});
    return true;
}
