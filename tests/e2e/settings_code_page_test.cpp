// Loading and saving through the real configurator started in the locales of
// its users, each of which gives it another ANSI code page: what a line
// holds, NULs, lead bytes and invalid UTF-8 included, survives a save, and a
// file with a byte order mark changes its encoding only where nothing is lost.
#include "tests/Utf16Bytes.h"
#include "tests/e2e/SettingsDriver.h"

using namespace std::string_literals;

namespace e2e {
namespace {

struct CodePageLocale {
    const char* name;
    UINT codePage;
    const wchar_t* locale;
    std::wstring_view native;  // a comment in the code page's own script
    std::string_view nativeBytes;
};

// Wine takes the ANSI code page from LC_ALL (the locales must exist).
const CodePageLocale kLocales[] = {
    {"cp1252", 1252, L"en_US.UTF-8", L"caf\u00E9", "caf\xE9"},
    {"cp1251", 1251, L"ru_RU.CP1251", L"\u041F\u0440\u0438\u0432\u0435\u0442", "\xCF\xF0\xE8\xE2\xE5\xF2"},
    {"cp932", 932, L"ja_JP.UTF-8", L"\u65E5\u672C\u8A9E", "\x93\xFA\x96\x7B\x8C\xEA"},
    {"cp936", 936, L"zh_CN.UTF-8", L"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"},
    {"cp949", 949, L"ko_KR.UTF-8", L"\uD55C\uAD6D\uC5B4", "\xC7\xD1\xB1\xB9\xBE\xEE"},
    {"cp65001", 65001, L"hi_IN.UTF-8", L"\u0939\u093F\u0928\u094D\u0926\u0940",
     "\xE0\xA4\xB9\xE0\xA4\xBF\xE0\xA4\xA8\xE0\xA5\x8D\xE0\xA4\xA6\xE0\xA5\x80"},
};

bool IsDoubleByte(UINT codePage) { return codePage == 932 || codePage == 936 || codePage == 949; }

std::string Utf8(std::wstring_view text) {
    std::string bytes(4 * text.size(), '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

class SettingsCodePageTest : public SettingsTest, public ::testing::WithParamInterface<CodePageLocale> {
protected:
    UINT CodePage() const { return GetParam().codePage; }
    std::string NativeBytes() const { return std::string(GetParam().nativeBytes); }

    HWND StartInLocale(std::string_view settings) {
        return StartWith(settings, LaunchOptions().Locale(GetParam().locale));
    }

    // Proves that the configurator runs in the code page: C3 A9 is another
    // text in each of them.
    void ExpectTheCodePage() {
        ASSERT_NE(StartInLocale("PROTECTION_CLIENT_ID = \xC3\xA9\r\n"), nullptr);
        wchar_t expected[4] = {};
        MultiByteToWideChar(CodePage(), 0, "\xC3\xA9", 2, expected, 3);
        ASSERT_EQ(Shown().buildId, expected) << "not running in code page " << CodePage() << ": is the locale "
                                             << Narrow(GetParam().locale) << " installed?";
        CloseWithoutSaving();
    }
};

TEST_P(SettingsCodePageTest, AFreshStartCreatesTheDefaultFileInTheCodePage) {
    ExpectTheCodePage();
    ASSERT_TRUE(DeleteFileW(Folder().PathOf(kSettingsFile).c_str()));
    ASSERT_NE(StartMain(LaunchOptions().Locale(GetParam().locale)), nullptr);
    const std::string mark = CodePage() == CP_UTF8 ? "\xEF\xBB\xBF" : "";
    ExpectBytes(ReadSettings(), mark + kDefaultSettingsBytes);
}

// An edit holds a text up to its first NUL, and that is what
// the window shows and a save writes; a NUL elsewhere stays where it is.
TEST_P(SettingsCodePageTest, AValueWithANulIsHeldUpToItAndSavedSo) {
    const std::string before = "PROTECTION_MODE = 1\0 tail\r\nPROTECTION_CLIENT_ID = 12\0""34\r\n; n\0l\r\n"
                               "PROTECTION_CHRONICLE = \0\r\n"s;
    ASSERT_NE(StartInLocale(before), nullptr);
    EXPECT_EQ(Shown(), (ShownSettings{L"1", L"", L"12", false, 1, kNoItem}));
    SaveExpecting("PROTECTION_MODE = 1\r\nPROTECTION_CLIENT_ID = 12\r\n; n\0l\r\nPROTECTION_CHRONICLE = 0\r\n"s);
}

// A line without a key text comes out byte for byte, whatever
// the code page makes of it.
TEST_P(SettingsCodePageTest, LinesWithoutAKeyTextSurviveASaveByteForByte) {
    const std::string others = CrLfLines({"PROTECTION_ID = 0 ; \x83", "PROTECTION_", "a lead byte at the end \x81",
                                          "invalid UTF-8 \xFF\xC3", "\xED\xA0\x80 \xF5\x80", "\x1A"});
    // Its P is the second byte of a character where there are such: no key.
    const std::string hidden = "\x95PROTECTION_MODE = 2\r\n";
    ASSERT_NE(StartInLocale(others + hidden + "PROTECTION_MODE = 0\r\n"), nullptr);
    Choose(kIdProtectionGrp, 1);
    SaveExpecting(others + (IsDoubleByte(CodePage()) ? hidden : "PROTECTION_MODE = 1\r\n") + "PROTECTION_MODE = 1\r\n");
}

// A file with a byte order mark is written in the ANSI code
// page only where that holds every line unchanged.
TEST_P(SettingsCodePageTest, AUtf8FileChangesItsEncodingOnlyWhereNothingIsLost) {
    const std::string native = "\xEF\xBB\xBF; " + Utf8(GetParam().native) + "\r\nPROTECTION_MODE = 0\r\n";
    ASSERT_NE(StartInLocale(native), nullptr);
    Choose(kIdProtectionGrp, 2);
    SaveExpecting("; " + NativeBytes() + "\r\nPROTECTION_MODE = 2\r\n");
}

TEST_P(SettingsCodePageTest, AUtf8FileKeepsItsBytesWhereTheCodePageCannotHoldThem) {
    // Japanese, Cyrillic and Hindi are in no one code page, nor is an invalid byte.
    const std::string mixed = "; \xE6\x97\xA5 \xD0\x9F \xE0\xA4\xB9\r\n\xFF\r\nPROTECTION_MODE = 0\r\n";
    ASSERT_NE(StartInLocale("\xEF\xBB\xBF" + mixed), nullptr);
    Choose(kIdProtectionGrp, 2);
    std::string saved = mixed;
    saved.replace(saved.find("MODE = 0"), 8, "MODE = 2");
    // Where the ANSI code page is UTF-8, the file is in it already: the mark goes.
    SaveExpecting((CodePage() == CP_UTF8 ? "" : "\xEF\xBB\xBF") + saved);
}

TEST_P(SettingsCodePageTest, AUtf16FileBecomesTheCodePagesWhereItHoldsEveryLine) {
    ASSERT_NE(StartInLocale(Utf16(L"; " + std::wstring(GetParam().native) + L"\nPROTECTION_MODE = 0\n")), nullptr);
    Choose(kIdProtectionGrp, 1);
    SaveExpecting("; " + NativeBytes() + "\r\nPROTECTION_MODE = 1\r\n");
}

INSTANTIATE_TEST_SUITE_P(Locales, SettingsCodePageTest, ::testing::ValuesIn(kLocales),
                         [](const ::testing::TestParamInfo<CodePageLocale>& locale) {
                             return std::string(locale.param.name);
                         });

}  // namespace
}  // namespace e2e
