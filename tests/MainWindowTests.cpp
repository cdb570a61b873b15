#include <gtest/gtest.h>

#include "tests/FakeWindow.h"
#include "ui/DisplayScale.h"
#include "ui/MainWindowLayout.h"
#include "ui/UiTexts.h"

namespace {

PixelRect At(int control, float scale) {
    return ControlPixels(MainWindowControls[control], scale, scale);
}

TEST(MainWindowLayout, PixelsAtCommonResolutions) {
    // 96 dpi: the nominal values.
    EXPECT_EQ(At(GadgetGo, 1.0f), (PixelRect{210, 381, 90, 25}));
    EXPECT_EQ(ScalePixels(MainWindowClientSize, 1.0f), 580);
    // 144 dpi: halves go to the even neighbour (22.5 to 22, 712.5 to 712).
    EXPECT_EQ(ScalePixels(MainWindowClientSize, 1.5f), 870);
    EXPECT_EQ(At(GadgetTitle, 1.5f), (PixelRect{22, 30, 825, 45}));
    EXPECT_EQ(At(GadgetGo, 1.5f), (PixelRect{315, 572, 135, 38}));
    EXPECT_EQ(At(GadgetQuit, 1.5f), (PixelRect{712, 802, 135, 45}));
    // 120 dpi: 677.5 goes to 678.
    EXPECT_EQ(ScalePixels(MainWindowClientSize, 1.25f), 725);
    EXPECT_EQ(At(GadgetLink, 1.25f).x, 19);
    EXPECT_EQ(At(GadgetLink, 1.25f).y, 678);
    // 176 dpi: each value from its own product; 165 times 1.8333334f lies just
    // above 302.5, so it goes up.
    const float s176 = ScaleFactorFromDpi(176);
    EXPECT_EQ(At(GadgetClipboardView, s176), (PixelRect{28, 303, 1008, 330}));
    // Different factors across and down.
    EXPECT_EQ(ControlPixels(MainWindowControls[GadgetQuit], 1.25f, 1.5f),
              (PixelRect{594, 802, 112, 45}));
}

TEST(MainWindowLayout, PointSizesByVersionAndScale) {
    // Up to Windows 8 the sizes are fixed, whatever the scale.
    EXPECT_EQ(BasePointSize(80, 1.5f), 9);
    EXPECT_EQ(TitlePointSize(90, 2.5f), 14);
    // Later: scaled, halves to even (17.5 to 18; 15.75 to 16, 24.5 to 24).
    EXPECT_EQ(BasePointSize(100, 1.25f), 11);
    EXPECT_EQ(TitlePointSize(110, 1.25f), 18);
    EXPECT_EQ(BasePointSize(110, 1.75f), 16);
    EXPECT_EQ(TitlePointSize(110, 1.75f), 24);
    // 176 dpi: 9 times 1.8333334 is exactly 16.5 in single precision: 16, not 17.
    EXPECT_EQ(BasePointSize(95, ScaleFactorFromDpi(176)), 16);
    // An unknown version counts as later than Windows 8.
    EXPECT_EQ(BasePointSize(200, 1.5f), 14);
    EXPECT_EQ(BasePointSize(200, 1.0f), 9);
}

TEST(MainWindowLayout, CentringClampsToTheScreen) {
    EXPECT_EQ(CentredOrigin(1280, 600), 340);
    EXPECT_EQ(CentredOrigin(1281, 600), 340);
    EXPECT_EQ(CentredOrigin(800, 900), 0);
    EXPECT_EQ(CentredOrigin(800, 800), 0);
}

TEST(OpenMainWindow, BuildsControlsThenFontsInOrder) {
    FakeWindowReset();
    FillUiTexts(u"de");
    ASSERT_TRUE(OpenMainWindow(1.0f, 1.0f, 80));
    EXPECT_EQ(fakeWindow.title, u"Ostrel 1.00");
    EXPECT_EQ(fakeWindow.clientWidth, 580);
    EXPECT_EQ(fakeWindow.clientHeight, 580);

    std::vector<std::string> expected = {"WindowOpen", "FontLoad 0", "DefaultFontSet 0"};
    for (int n = 0; n < GadgetCount; ++n) expected.push_back("ControlCreate " + std::to_string(n));
    for (const char* c : {"FontLoad 1", "ControlSetFont 0 1", "FontLoad 2", "ControlSetFont 1 2",
                          "ControlSetFont 5 2", "ControlSetFont 8 2", "FontLoad 3",
                          "ControlSetFont 4 3", "ControlSetTextColour 10"}) {
        expected.push_back(c);
    }
    EXPECT_EQ(fakeWindow.calls, expected);

    const FakeControl* c = fakeWindow.controls;
    EXPECT_EQ(c[GadgetTitle].text, u"Zeilen einer E-Mail umbrechen");
    EXPECT_EQ(c[GadgetStatus].text, UiTexts[ClickPrompt]);
    EXPECT_EQ(c[GadgetGo].text, u"Los");
    EXPECT_EQ(c[GadgetQuit].text, u"Beenden");
    EXPECT_EQ(c[GadgetClipboardView].text, u"");
    EXPECT_EQ(c[GadgetLink].text, CopyrightNotice);
    EXPECT_EQ(c[GadgetLink].kind, ControlKind::Link);
    EXPECT_EQ(c[GadgetTitle].kind, ControlKind::CentredLabel);
    EXPECT_EQ(c[GadgetStatus].font, FontText);
    EXPECT_FALSE(c[GadgetStatus].hasColour);
    EXPECT_EQ(c[GadgetLink].colour.blue, 255);
    EXPECT_EQ(c[GadgetLink].colour.red + c[GadgetLink].colour.green, 0);

    const FakeFont* f = fakeWindow.fonts;
    EXPECT_EQ(f[FontText].face, u"Segoe UI");
    EXPECT_EQ(f[FontFixed].face, u"Consolas");
    EXPECT_TRUE(f[FontHeading].bold);
    EXPECT_FALSE(f[FontTitle].bold);
    EXPECT_EQ(f[FontText].points, 9);
    EXPECT_EQ(f[FontTitle].points, 14);
}

TEST(OpenMainWindow, ScalesFontsOnLaterSystems) {
    FakeWindowReset();
    FillUiTexts(u"");
    ASSERT_TRUE(OpenMainWindow(1.25f, 1.25f, 110));
    EXPECT_EQ(fakeWindow.clientWidth, 725);
    EXPECT_EQ(fakeWindow.fonts[FontText].points, 11);
    EXPECT_EQ(fakeWindow.fonts[FontTitle].points, 18);
    EXPECT_EQ(fakeWindow.fonts[FontHeading].points, 11);
}

TEST(OpenMainWindow, FailureShowsTheMessageBoxAndMakesNothing) {
    FakeWindowReset();
    fakeWindow.openFails = true;
    EXPECT_FALSE(OpenMainWindow(1.0f, 1.0f, 80));
    EXPECT_EQ(fakeWindow.messageBoxes, std::vector<std::u16string>{u"Fatal error|Program terminated."});
    EXPECT_EQ(fakeWindow.calls, (std::vector<std::string>{"WindowOpen", "MessageBoxShow"}));
}

} // namespace
