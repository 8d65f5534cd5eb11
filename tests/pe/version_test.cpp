// The version resource of KorvaneCFG.exe, read the way Explorer reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/pe/BuiltExe.h"

namespace {

class VersionInfo {
public:
    explicit VersionInfo(const std::wstring& exe) {
        DWORD ignored = 0;
        data_.resize(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
        if (data_.empty() || !GetFileVersionInfoW(exe.c_str(), 0, DWORD(data_.size()), data_.data()))
            data_.clear();
    }

    bool Present() const { return !data_.empty(); }

    const VS_FIXEDFILEINFO* Fixed() const { return static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\")); }

    std::optional<std::wstring> String(const std::wstring& name) const {
        const void* text = Query(L"\\StringFileInfo\\040904E4\\" + name);
        if (!text)
            return std::nullopt;
        return std::wstring(static_cast<const wchar_t*>(text));
    }

    // Language and code page pairs of \VarFileInfo\Translation.
    std::vector<std::pair<WORD, WORD>> Translations() const {
        UINT bytes = 0;
        const auto* words = static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation", &bytes));
        std::vector<std::pair<WORD, WORD>> pairs;
        for (UINT i = 0; words && i + 1 < bytes / sizeof(WORD); i += 2)
            pairs.emplace_back(words[i], words[i + 1]);
        return pairs;
    }

private:
    const void* Query(const std::wstring& path, UINT* length = nullptr) const {
        void* value = nullptr;
        UINT size = 0;
        auto* data = const_cast<BYTE*>(data_.data());
        if (data_.empty() || !VerQueryValueW(data, path.c_str(), &value, &size))
            return nullptr;
        if (length)
            *length = size;
        return value;
    }

    std::vector<BYTE> data_;
};

class Version : public EachBuild {};
KV_INSTANTIATE_FOR_BOTH_BUILDS(Version);

}  // namespace

TEST_P(Version, FixedPartNamesBuild9296AndAnApplication) {
    const VersionInfo info(Exe());
    ASSERT_TRUE(info.Present()) << "no version resource";
    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(0, 1)));
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(55009, 9296)));
    EXPECT_EQ(fixed->dwProductVersionMS, DWORD(MAKELONG(0, 1)));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
}

TEST_P(Version, StringsAreUsEnglishInCodePage1252) {
    const VersionInfo info(Exe());
    ASSERT_TRUE(info.Present()) << "no version resource";
    EXPECT_EQ(info.Translations(), (std::vector<std::pair<WORD, WORD>>{{0x0409, 0x04E4}}));

    EXPECT_EQ(info.String(L"FileDescription"), L"Korvane Configurator");
    EXPECT_EQ(info.String(L"FileVersion"), L"1.0.0.0");
    EXPECT_EQ(info.String(L"InternalName"), L"Korvane Configurator");
    EXPECT_EQ(info.String(L"OriginalFilename"), L"Korvane Configurator");
    EXPECT_EQ(info.String(L"ProductName"), L"Korvane Configurator");
    EXPECT_EQ(info.String(L"ProductVersion"), L"1.0.0.0");
    for (const wchar_t* field : {L"CompanyName", L"LegalCopyright", L"LegalTrademarks"})
        EXPECT_FALSE(info.String(field).value_or(L"").empty()) << "empty or missing: " << testing::PrintToString(std::wstring(field));
    // The resource script is UTF-8: a non-ASCII character must arrive intact.
    EXPECT_NE(info.String(L"LegalCopyright").value_or(L"").find(L"\u00A9"), std::wstring::npos);
}
