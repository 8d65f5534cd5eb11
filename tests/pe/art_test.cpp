// The committed pictures in resources/art and the generator that makes them.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/pe/Bitmaps.h"
#include "tests/pe/PeFile.h"
#include "tests/pe/TestPaths.h"

using namespace bitmaps;

namespace {

const wchar_t* const kArtFiles[] = {L"KorvaneCFG.ico", L"banner.bmp", L"save.bmp"};

std::vector<uint8_t> ArtFile(const std::wstring& name) { return ReadWholeFile(test_paths::ArtFolder() + L"/" + name); }

struct CloseHandleDeleter {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseHandleDeleter>;

// Runs `exe` with one argument and returns its exit code, or -1 when it could
// not be started or did not end within a minute.
long RunProgram(const std::wstring& exe, const std::wstring& argument) {
    std::wstring commandLine = L"\"" + exe + L"\" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    const UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return long(code);
}

// A fresh folder under the temporary folder, removed again at the end of the test.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, base);
        path_ = std::filesystem::path(base) / (L"kv-picgen-" + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::remove_all(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

TEST(ArtFiles, IconFileHoldsSixUncompressedImagesBackToBack) {
    const std::vector<uint8_t> ico = ArtFile(L"KorvaneCFG.ico");
    EXPECT_EQ(ico.size(), 355574u);
    const std::vector<IconFileImage> images = ReadIconFile(ico);
    ASSERT_EQ(images.size(), 6u);

    size_t expectedOffset = 6 + 16 * images.size();
    const int sizes[] = {256, 128, 48, 32, 24, 16};
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        EXPECT_EQ(images[i].size, sizes[i]);
        EXPECT_EQ(images[i].planes, 1u);
        EXPECT_EQ(images[i].bitCount, 32u);
        EXPECT_EQ(U32(ico, 6 + i * 16 + 12), expectedOffset) << "gap or overlap before the image";
        expectedOffset += images[i].data.size();
        ExpectUncompressedIconImage(images[i].data, images[i].size);
    }
    EXPECT_EQ(expectedOffset, ico.size()) << "bytes after the last image";
}

TEST(ArtFiles, SaveGlyphIsDrawnOnItsTransparentColour) {
    const std::vector<uint8_t> glyph = ArtFile(L"save.bmp");
    ASSERT_EQ(glyph.size(), 4150u);
    // The lower-left pixel comes first in bottom-up rows and names the
    // transparent colour; it must be the magenta background, and so must
    // the other corners, or part of the glyph would vanish.
    auto pixel = [&](int x, int yFromBottom) { return U32(glyph, 54 + size_t(yFromBottom * 32 + x) * 4) & 0xFFFFFF; };
    EXPECT_EQ(pixel(0, 0), 0xFF00FFu);
    EXPECT_EQ(pixel(31, 0), 0xFF00FFu);
    EXPECT_EQ(pixel(0, 31), 0xFF00FFu);
    EXPECT_EQ(pixel(31, 31), 0xFF00FFu);
    int drawn = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            drawn += pixel(x, y) != 0xFF00FFu;
    EXPECT_GT(drawn, 32 * 32 / 3) << "the glyph is nearly empty";
}

TEST(ArtFiles, PicgenReproducesTheCommittedArt) {
    const TempFolder out;
    ASSERT_EQ(RunProgram(test_paths::Picgen(), out.Path().wstring()), 0) << "picgen failed";
    for (const wchar_t* name : kArtFiles) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        const std::vector<uint8_t> fresh = ReadWholeFile(out.Path() / name);
        const std::vector<uint8_t> committed = ArtFile(name);
        ASSERT_EQ(fresh.size(), committed.size());
        EXPECT_TRUE(fresh == committed) << "run tools/make-art.sh and commit resources/art";
    }
}
