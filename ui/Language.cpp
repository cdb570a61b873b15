#include "ui/Language.h"

int32_t OsVersionCodeFrom(uint32_t platformId, uint32_t major, uint32_t minor,
                          uint8_t productType) {
    if (platformId == 1) { // the Windows 95 family
        switch (minor) {
        case 0: return 10;
        case 10: return 30;
        case 90: return 40;
        default: return 200;
        }
    }
    if (platformId != 2) return 200;
    const bool workstation = productType == 1;
    switch (major) {
    case 3: return 5;
    case 4: return 20;
    case 5:
        if (minor == 0) return 50;
        if (minor == 1) return 60;
        if (minor == 2) return workstation ? 60 : 65;
        return 200;
    case 6:
        if (minor > 3) return 200;
        return static_cast<int32_t>(70 + 10 * minor) + (workstation ? 0 : 5);
    case 10: return minor == 0 ? 110 : 200;
    default: return 200;
    }
}

std::u16string LanguageCodeFromLocaleName(std::u16string_view localeName) {
    return std::u16string(localeName.substr(0, 2));
}

std::u16string LanguageCodeFromLangId(uint16_t langId) {
    switch (langId & 0x3FF) {
    case 7: return u"de";
    case 9: return u"en";
    case 10: return u"es";
    case 12: return u"fr";
    case 14: return u"hu";
    case 16: return u"it";
    default: return u"";
    }
}
