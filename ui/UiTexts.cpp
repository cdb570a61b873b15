#include "ui/UiTexts.h"

std::u16string UiTexts[UiTextCount];

namespace {

const char16_t* const German[UiTextCount] = {
    u"Zeilen einer E-Mail umbrechen",
    u"1. Text der Mail in die Zwischenablage verschieben",
    (u"\u00D6ffnen Sie im E-Mail-Programm das Fenster zum Antworten, markieren Sie darin den "
     u"gesamten Text der empfangenen Mail (Strg+A) und schneiden Sie ihn aus (Strg+X oder "
     u"Umsch+Entf)."),
    u"Aktueller Inhalt der Zwischenablage:",
    u"2. Lange Zeilen umbrechen",
    u"Klicken Sie auf diese Schaltfl\u00E4che:",
    u"Los",
    u"R\u00FCckg\u00E4ngig",
    u"Erledigt.",
    u"Kein Zeilenumbruch erforderlich.",
    u"3. Text wieder in die Mail einf\u00FCgen",
    (u"Dieses Programm kann jetzt beendet werden.\nWechseln Sie zum E-Mail-Programm und f\u00FCgen "
     u"Sie den Inhalt der Zwischenablage in die Mail ein (Strg+V oder Umsch+Einfg)."),
    u"Beenden",
    u"Zwischenablage belegt.",
};

const char16_t* const English[UiTextCount] = {
    u"Wrap lines of an e-mail",
    u"1. Move text of the mail to the clipboard",
    (u"In the e-mail program, open the window for writing a reply, select the whole text of the "
     u"received mail (Ctrl+A), and cut it (Ctrl+X or Shift+Del)."),
    u"Current content of the clipboard:",
    u"2. Wrap long lines",
    u"Click at this button:",
    u"Go",
    u"Undo",
    u"Done.",
    u"No word wrap required.",
    u"3. Reinsert text into the mail",
    (u"You can now quit this program.\nSwitch to the e-mail program and insert the content of the "
     u"clipboard into the mail (Ctrl+V or Shift+Ins)."),
    u"Quit",
    u"Clipboard busy, try again.",
};

} // namespace

void FillUiTexts(std::u16string_view languageCode) {
    const char16_t* const* column = languageCode == u"de" ? German : English;
    for (int i = 0; i < UiTextCount; ++i) UiTexts[i] = column[i];
}
