// Which Windows this is and which language the user speaks: the decisions,
// apart from the queries that feed them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The version code for what GetVersionExA / RtlGetVersion report: 80 for
// Windows 7, 110 for Windows 10, server editions 5 higher, 200 when unknown.
//
// Example: OsVersionCodeFrom(2, 6, 1, 1) == 80
[[nodiscard]] int32_t OsVersionCodeFrom(uint32_t platformId, uint32_t major, uint32_t minor,
                                        uint8_t productType);

// The language code of a locale name: its first two code units.
//
// Example: LanguageCodeFromLocaleName(u"de-AT") == u"de"
[[nodiscard]] std::u16string LanguageCodeFromLocaleName(std::u16string_view localeName);

// The language code of a language id, by its primary language; empty for
// languages the program does not name.
//
// Example: LanguageCodeFromLangId(0x0807) == u"de"
[[nodiscard]] std::u16string LanguageCodeFromLangId(uint16_t langId);

// The code of the running Windows version (queries the system each call).
[[nodiscard]] int32_t OsVersionCode();

// The user's language code from the default locale; empty when unknown.
[[nodiscard]] std::u16string DetectUiLanguage();
