#include <windows.h>

#include "ui/Language.h"
#include "ui/SystemLibrary.h"

namespace {

// Major, minor and product type as the kernel tells them: unlike
// GetVersionExA it does not pretend to be Windows 8 to programs whose
// manifest does not name later systems.
bool QueryRtlVersion(uint32_t& major, uint32_t& minor, uint8_t& productType) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll"); // always loaded; not ours to free
    if (ntdll == nullptr) return false;
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
    auto rtlGetVersion = ProcAddress<RtlGetVersionFn>(ntdll, "RtlGetVersion");
    if (rtlGetVersion == nullptr) return false;
    RTL_OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info; // 284
    if (rtlGetVersion(&info) != 0) return false;
    major = info.dwMajorVersion;
    minor = info.dwMinorVersion;
    productType = info.wProductType;
    return true;
}

} // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
int32_t OsVersionCode() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info; // 148
    if (!GetVersionExA(&info)) return 200;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        return OsVersionCodeFrom(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, 0);
    }
    uint32_t major = info.dwMajorVersion;
    uint32_t minor = info.dwMinorVersion;
    uint8_t productType = 0;
    if (!QueryRtlVersion(major, minor, productType)) {
        major = info.dwMajorVersion;
        minor = info.dwMinorVersion;
        OSVERSIONINFOEXA extended{};
        extended.dwOSVersionInfoSize = sizeof extended; // 156
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) return 200;
        productType = extended.wProductType;
    }
    return OsVersionCodeFrom(VER_PLATFORM_WIN32_NT, major, minor, productType);
}
#pragma GCC diagnostic pop

std::u16string DetectUiLanguage() {
    if (OsVersionCode() < 70) return LanguageCodeFromLangId(GetUserDefaultLangID());

    HMODULE kernel = LoadSystemLibrary(L"kernel32.dll");
    if (kernel == nullptr) return u"";
    using GetUserDefaultLocaleNameFn = int(WINAPI*)(LPWSTR, int);
    auto getLocaleName = ProcAddress<GetUserDefaultLocaleNameFn>(kernel, "GetUserDefaultLocaleName");
    std::u16string code;
    if (getLocaleName != nullptr) {
        wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
        if (getLocaleName(name, LOCALE_NAME_MAX_LENGTH) != 0) {
            name[LOCALE_NAME_MAX_LENGTH - 1] = L'\0';
            code = LanguageCodeFromLocaleName(reinterpret_cast<const char16_t*>(name));
        }
    }
    FreeLibrary(kernel);
    return code;
}
