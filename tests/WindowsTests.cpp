// What the Windows side reports for real, under the settings that the test
// run gives this process: each expectation comes in an environment variable,
// and a test without its variable is skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/DisplayScale.h"
#include "ui/Language.h"
#include "ui/SystemLibrary.h"
#include "ui/UiTexts.h"

namespace {

std::string Expected(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST(Windows, VersionCode) {
    const std::string expected = Expected("OSTREL_EXPECT_VERSION");
    if (expected.empty()) {
        GTEST_SKIP() << "OSTREL_EXPECT_VERSION not set";
    }
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
    auto rtlGetVersion =
        ProcAddress<RtlGetVersionFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    ASSERT_NE(rtlGetVersion, nullptr);
    RTL_OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_EQ(rtlGetVersion(&info), 0);
    const std::string reported = std::to_string(info.dwMajorVersion) + "." +
                                 std::to_string(info.dwMinorVersion) + " product type " +
                                 std::to_string(info.wProductType);
    EXPECT_EQ(OsVersionCode(), std::stoi(expected)) << "Windows reports " << reported;
    const std::string productType = Expected("OSTREL_EXPECT_PRODUCT_TYPE");
    if (!productType.empty()) {
        EXPECT_EQ(info.wProductType, std::stoi(productType)) << reported;
    }
}

TEST(Windows, LanguageAndTexts) {
    const std::string expected = Expected("OSTREL_EXPECT_LANGUAGE");
    if (expected.empty()) {
        GTEST_SKIP() << "OSTREL_EXPECT_LANGUAGE not set";
    }
    const std::u16string code = DetectUiLanguage();
    EXPECT_EQ(Narrow(code), expected);
    FillUiTexts(code);
    if (expected == "de") {
        EXPECT_EQ(UiTexts[Title], u"Zeilen einer E-Mail umbrechen");
        EXPECT_EQ(UiTexts[UndoCaption], u"R\u00FCckg\u00E4ngig");
    } else {
        EXPECT_EQ(UiTexts[Title], u"Wrap lines of an e-mail");
        EXPECT_EQ(UiTexts[UndoCaption], u"Undo");
    }
}

TEST(Windows, DisplayScale) {
    const std::string expected = Expected("OSTREL_EXPECT_DPI");
    if (expected.empty()) {
        GTEST_SKIP() << "OSTREL_EXPECT_DPI not set";
    }
    const int dpi = std::stoi(expected);
    ReadStartupDpi();
    EXPECT_EQ(startupDpiY, dpi);
    // ScaleY first: it runs the initialisation just as ScaleX would.
    EXPECT_FALSE(scaleReady);
    EXPECT_EQ(ScaleY(), ScaleFactorFromDpi(dpi));
    EXPECT_TRUE(scaleReady);
    EXPECT_EQ(ScaleX(), ScaleFactorFromDpi(dpi));
    using DpiFn = BOOL(WINAPI*)();
    auto isAware = ProcAddress<DpiFn>(GetModuleHandleW(L"user32.dll"), "IsProcessDPIAware");
    ASSERT_NE(isAware, nullptr);
    EXPECT_TRUE(isAware());
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD len = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, len);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

TEST(Windows, PlantedLibraryBesideTheProgramIsNeverLoaded) {
    // The plant is real: an ordinary load by name finds it beside the program.
    const std::wstring planted = ProgramFolder() + L"ostrelplant.dll";
    ASSERT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::wstring copy = ProgramFolder() + L"riched20.dll";
    ASSERT_TRUE(CopyFileW(planted.c_str(), copy.c_str(), FALSE));

    SetEnvironmentVariableW(L"OSTREL_PLANTED_LOADED", nullptr);
    EXPECT_EQ(LoadSystemLibrary(L"ostrelplant.dll"), nullptr);
    HMODULE riched = LoadSystemLibrary(L"riched20.dll");
    EXPECT_NE(riched, nullptr);
    if (riched != nullptr) {
        EXPECT_EQ(GetProcAddress(riched, "OstrelPlanted"), nullptr);
        FreeLibrary(riched);
    }
    EXPECT_EQ(GetEnvironmentVariableW(L"OSTREL_PLANTED_LOADED", nullptr, 0), 0u);

    HMODULE plain = LoadLibraryW(L"ostrelplant.dll");
    EXPECT_NE(plain, nullptr) << "the plant did not work, so the test proves nothing";
    if (plain != nullptr) FreeLibrary(plain);
    DeleteFileW(copy.c_str());
}

} // namespace
