#include <gtest/gtest.h>

#include "ui/DisplayScale.h"
#include "ui/Language.h"
#include "ui/UiTexts.h"

namespace {

TEST(OsVersionCode, EveryRowOfTheTable) {
    struct Row {
        uint32_t platform, major, minor;
        uint8_t productType;
        int32_t code;
    };
    const Row rows[] = {
        // The Windows 95 family: the minor version alone decides.
        {1, 4, 0, 0, 10}, {1, 4, 10, 0, 30}, {1, 4, 90, 0, 40}, {1, 7, 90, 0, 40},
        {1, 4, 20, 0, 200},
        // The NT family, workstation (1) and the others (2, 3).
        {2, 3, 51, 1, 5}, {2, 3, 10, 3, 5}, {2, 4, 0, 1, 20}, {2, 4, 0, 3, 20},
        {2, 5, 0, 1, 50}, {2, 5, 0, 3, 50}, {2, 5, 1, 1, 60}, {2, 5, 1, 3, 60},
        {2, 5, 2, 1, 60}, {2, 5, 2, 3, 65}, {2, 5, 2, 2, 65}, {2, 5, 3, 1, 200},
        {2, 6, 0, 1, 70}, {2, 6, 0, 3, 75}, {2, 6, 1, 1, 80}, {2, 6, 1, 3, 85},
        {2, 6, 2, 1, 90}, {2, 6, 2, 3, 95}, {2, 6, 3, 1, 100}, {2, 6, 3, 2, 105},
        {2, 6, 4, 1, 200}, {2, 10, 0, 1, 110}, {2, 10, 0, 3, 110}, {2, 10, 1, 1, 200},
        {2, 11, 0, 1, 200}, {2, 2, 0, 1, 200}, {2, 6, 1, 0, 85},
        // Any other platform.
        {0, 6, 1, 1, 200}, {3, 10, 0, 1, 200},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(OsVersionCodeFrom(r.platform, r.major, r.minor, r.productType), r.code)
            << "platform " << r.platform << " version " << r.major << "." << r.minor
            << " product type " << int{r.productType};
    }
}

TEST(DetectUiLanguage, LanguageIdsByPrimaryLanguage) {
    const std::pair<uint16_t, std::u16string> rows[] = {
        {0x0407, u"de"}, {0x0807, u"de"}, {0x0C07, u"de"}, {0x0409, u"en"}, {0x0809, u"en"},
        {0x0C0A, u"es"}, {0x040C, u"fr"}, {0x040E, u"hu"}, {0x0410, u"it"}, {0x0413, u""},
        {0x0000, u""},   {0x0416, u""},
    };
    for (const auto& [id, code] : rows) EXPECT_EQ(LanguageCodeFromLangId(id), code) << id;
}

TEST(DetectUiLanguage, LocaleNamesGiveTheirFirstTwoUnits) {
    EXPECT_EQ(LanguageCodeFromLocaleName(u"de-DE"), u"de");
    EXPECT_EQ(LanguageCodeFromLocaleName(u"de-AT"), u"de");
    EXPECT_EQ(LanguageCodeFromLocaleName(u"de-CH"), u"de");
    EXPECT_EQ(LanguageCodeFromLocaleName(u"en-US"), u"en");
    EXPECT_EQ(LanguageCodeFromLocaleName(u"fr-FR"), u"fr");
    EXPECT_EQ(LanguageCodeFromLocaleName(u"gsw-FR"), u"gs");
    EXPECT_EQ(LanguageCodeFromLocaleName(u"d"), u"d");
    EXPECT_EQ(LanguageCodeFromLocaleName(u""), u"");
}

TEST(FillUiTexts, GermanColumnVerbatim) {
    FillUiTexts(u"de");
    EXPECT_EQ(UiTexts[Title], u"Zeilen einer E-Mail umbrechen");
    EXPECT_EQ(UiTexts[Step1Heading], u"1. Text der Mail in die Zwischenablage verschieben");
    EXPECT_EQ(UiTexts[Step1Help],
              u"\u00D6ffnen Sie im E-Mail-Programm das Fenster zum Antworten, markieren Sie darin "
              u"den gesamten Text der empfangenen Mail (Strg+A) und schneiden Sie ihn aus (Strg+X "
              u"oder Umsch+Entf).");
    EXPECT_EQ(UiTexts[ClipboardLabel], u"Aktueller Inhalt der Zwischenablage:");
    EXPECT_EQ(UiTexts[Step2Heading], u"2. Lange Zeilen umbrechen");
    EXPECT_EQ(UiTexts[ClickPrompt], u"Klicken Sie auf diese Schaltfl\u00E4che:");
    EXPECT_EQ(UiTexts[GoCaption], u"Los");
    EXPECT_EQ(UiTexts[UndoCaption], u"R\u00FCckg\u00E4ngig");
    EXPECT_EQ(UiTexts[DoneMessage], u"Erledigt.");
    EXPECT_EQ(UiTexts[NoWrapMessage], u"Kein Zeilenumbruch erforderlich.");
    EXPECT_EQ(UiTexts[Step3Heading], u"3. Text wieder in die Mail einf\u00FCgen");
    EXPECT_EQ(UiTexts[Step3Help],
              u"Dieses Programm kann jetzt beendet werden.\nWechseln Sie zum E-Mail-Programm und "
              u"f\u00FCgen Sie den Inhalt der Zwischenablage in die Mail ein (Strg+V oder "
              u"Umsch+Einfg).");
    EXPECT_EQ(UiTexts[QuitCaption], u"Beenden");
    EXPECT_EQ(UiTexts[ClipboardBusy], u"Zwischenablage belegt.");
}

TEST(FillUiTexts, EnglishColumnVerbatim) {
    FillUiTexts(u"en");
    EXPECT_EQ(UiTexts[Title], u"Wrap lines of an e-mail");
    EXPECT_EQ(UiTexts[Step1Heading], u"1. Move text of the mail to the clipboard");
    EXPECT_EQ(UiTexts[Step1Help],
              u"In the e-mail program, open the window for writing a reply, select the whole text "
              u"of the received mail (Ctrl+A), and cut it (Ctrl+X or Shift+Del).");
    EXPECT_EQ(UiTexts[ClipboardLabel], u"Current content of the clipboard:");
    EXPECT_EQ(UiTexts[Step2Heading], u"2. Wrap long lines");
    EXPECT_EQ(UiTexts[ClickPrompt], u"Click at this button:");
    EXPECT_EQ(UiTexts[GoCaption], u"Go");
    EXPECT_EQ(UiTexts[UndoCaption], u"Undo");
    EXPECT_EQ(UiTexts[DoneMessage], u"Done.");
    EXPECT_EQ(UiTexts[NoWrapMessage], u"No word wrap required.");
    EXPECT_EQ(UiTexts[Step3Heading], u"3. Reinsert text into the mail");
    EXPECT_EQ(UiTexts[Step3Help],
              u"You can now quit this program.\nSwitch to the e-mail program and insert the "
              u"content of the clipboard into the mail (Ctrl+V or Shift+Ins).");
    EXPECT_EQ(UiTexts[QuitCaption], u"Quit");
    EXPECT_EQ(UiTexts[ClipboardBusy], u"Clipboard busy, try again.");
}

TEST(FillUiTexts, OnlyExactlyDeSelectsGerman) {
    for (std::u16string_view code : {u"DE", u"de-DE", u"", u"d", u"en", u"fr", u"gs"}) {
        FillUiTexts(u"de");
        FillUiTexts(code);
        EXPECT_EQ(UiTexts[GoCaption], u"Go");
    }
}

TEST(DisplayScale, FactorsInSinglePrecision) {
    EXPECT_EQ(ScaleFactorFromDpi(96), 1.0f);
    EXPECT_EQ(ScaleFactorFromDpi(120), 1.25f);
    EXPECT_EQ(ScaleFactorFromDpi(144), 1.5f);
    EXPECT_EQ(ScaleFactorFromDpi(240), 2.5f);
    EXPECT_EQ(ScaleFactorFromDpi(72), 0.75f);
    EXPECT_EQ(ScaleFactorFromDpi(112), 1.1666666f);
    EXPECT_EQ(ScaleFactorFromDpi(176), 1.8333334f);
    EXPECT_EQ(ScaleFactorFromDpi(112), static_cast<float>(112.0 / 96.0));
}

TEST(DisplayScale, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(13.5), 14);
    EXPECT_EQ(RoundHalfEven(22.5), 22);
    EXPECT_EQ(RoundHalfEven(37.5), 38);
    EXPECT_EQ(RoundHalfEven(24.5), 24);
    EXPECT_EQ(RoundHalfEven(15.75), 16);
    EXPECT_EQ(RoundHalfEven(16.4999), 16);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(ScalePixels(15, 1.5f), 22);
    EXPECT_EQ(ScalePixels(475, 1.5f), 712);
    EXPECT_EQ(ScalePixels(542, 1.25f), 678);
}

TEST(DisplayScale, FontHeightsRoundAsMulDiv) {
    EXPECT_EQ(FontHeightFromPoints(14, 96), -19); // 18.67
    EXPECT_EQ(FontHeightFromPoints(9, 96), -12);
    EXPECT_EQ(FontHeightFromPoints(9, 144), -18);
    EXPECT_EQ(FontHeightFromPoints(11, 120), -18); // 18.33
    EXPECT_EQ(FontHeightFromPoints(3, 12), -1);    // 0.5 goes up
}

} // namespace
