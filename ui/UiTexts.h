// The interface texts, in German or English.
#pragma once

#include <string>
#include <string_view>

// Entries of UiTexts, by name.
enum UiText : int {
    Title,
    Step1Heading,
    Step1Help,
    ClipboardLabel,
    Step2Heading,
    ClickPrompt,
    GoCaption,
    UndoCaption,
    DoneMessage,
    NoWrapMessage,
    Step3Heading,
    Step3Help,
    QuitCaption,
    ClipboardBusy,
    UiTextCount
};

// Empty until FillUiTexts has run; read-only afterwards.
extern std::u16string UiTexts[UiTextCount];

// Fills every entry in German when `languageCode` is exactly "de", in English
// otherwise.
//
// Example: FillUiTexts(u"de"); UiTexts[GoCaption] == u"Los"
void FillUiTexts(std::u16string_view languageCode);
