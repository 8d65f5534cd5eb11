// The resources of KorvaneCFG.exe: icon, pictures, style, manifest, version.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "tests/pe/Bitmaps.h"
#include "tests/pe/BuiltExe.h"
#include "tests/pe/PeFile.h"
#include "tests/pe/ResourceImage.h"

using namespace bitmaps;

namespace {

class Resources : public EachBuild {
protected:
    std::vector<uint8_t> Resource(LPCWSTR type, LPCWSTR name) {
        auto bytes = ResourceImage(Exe()).Find(type, name);
        if (!bytes)
            ADD_FAILURE() << "resource missing";
        return bytes.value_or(std::vector<uint8_t>{});
    }
    static std::vector<uint8_t> ArtFile(const wchar_t* name) {
        return ReadWholeFile(test_paths::ArtFolder() + L"/" + name);
    }
};
KV_INSTANTIATE_FOR_BOTH_BUILDS(Resources);

struct GroupIconEntry {
    int size;
    uint32_t planes, bitCount, bytes, id;
};

// GRPICONDIR: reserved, type, count, then 14-byte entries whose last field is
// the RT_ICON resource ID.
std::vector<GroupIconEntry> ReadGroupIcon(const std::vector<uint8_t>& b) {
    std::vector<GroupIconEntry> entries;
    for (size_t i = 0, count = U16(b, 4); i < count; ++i) {
        const size_t e = 6 + i * 14;
        entries.push_back({b.at(e) == 0 ? 256 : b[e], U16(b, e + 4), U16(b, e + 6), U32(b, e + 8), U16(b, e + 12)});
    }
    return entries;
}

void ExpectBmpHeader(const std::vector<uint8_t>& bmp, int width, int height) {
    const BmpHeader h = ReadBmpHeader(bmp);
    EXPECT_EQ(h.magic, 0x4D42u) << "no BM signature";
    EXPECT_EQ(h.fileSize, bmp.size());
    EXPECT_EQ(h.pixelOffset, 54u);
    EXPECT_EQ(h.dib.size, 40u);
    EXPECT_EQ(h.dib.width, width);
    EXPECT_EQ(h.dib.height, height) << "rows must run bottom-up";
    EXPECT_EQ(h.dib.planes, 1u);
    EXPECT_EQ(h.dib.bitCount, 32u);
    EXPECT_EQ(h.dib.compression, kBiRgb);
}

size_t CountOf(const std::vector<uint8_t>& values, uint8_t v) { return size_t(std::count(values.begin(), values.end(), v)); }

// Attributes of each element `<name ...>` in an XML text.
std::vector<std::map<std::string, std::string>> Elements(const std::string& xml, const std::string& name) {
    std::vector<std::map<std::string, std::string>> found;
    const std::regex element("<" + name + R"(\s([^>]*)>)");
    const std::regex attribute(R"re(([\w:]+)\s*=\s*"([^"]*)")re");
    for (auto e = std::sregex_iterator(xml.begin(), xml.end(), element); e != std::sregex_iterator(); ++e) {
        const std::string inner = (*e)[1];
        std::map<std::string, std::string> attributes;
        for (auto a = std::sregex_iterator(inner.begin(), inner.end(), attribute); a != std::sregex_iterator(); ++a)
            attributes[(*a)[1]] = (*a)[2];
        found.push_back(attributes);
    }
    return found;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

}  // namespace

TEST_P(Resources, MainIconHoldsTheSixImagesOfTheIconFile) {
    const std::vector<GroupIconEntry> entries = ReadGroupIcon(Resource(RT_GROUP_ICON, L"MAINICON"));
    std::multiset<int> sizes;
    for (const auto& e : entries)
        sizes.insert(e.size);
    EXPECT_EQ(sizes, (std::multiset<int>{256, 128, 48, 32, 24, 16}));

    const std::vector<IconFileImage> file = ReadIconFile(ArtFile(L"KorvaneCFG.ico"));
    const ResourceImage exe(Exe());
    for (const GroupIconEntry& e : entries) {
        SCOPED_TRACE(std::to_string(e.size) + " px");
        EXPECT_EQ(e.planes, 1u);
        EXPECT_EQ(e.bitCount, 32u);
        const auto image = exe.Find(RT_ICON, MAKEINTRESOURCEW(e.id));
        ASSERT_TRUE(image) << "RT_ICON " << e.id << " missing";
        EXPECT_EQ(image->size(), e.bytes);
        ExpectUncompressedIconImage(*image, e.size);
        const auto same = std::find_if(file.begin(), file.end(), [&](const auto& f) { return f.size == e.size; });
        EXPECT_TRUE(same != file.end() && same->data == *image) << "differs from art/KorvaneCFG.ico";
    }
}

TEST_P(Resources, BannerIsTheOpaque512x256Bitmap) {
    const std::vector<uint8_t> banner = Resource(RT_RCDATA, L"BANNER");
    ASSERT_EQ(banner.size(), 524342u);
    ExpectBmpHeader(banner, 512, 256);
    EXPECT_EQ(CountOf(AlphaBytes(banner, 54, 512 * 256), 255), 512u * 256) << "some pixels are not opaque";
    EXPECT_TRUE(banner == ArtFile(L"banner.bmp")) << "differs from art/banner.bmp";
}

TEST_P(Resources, SaveGlyphIs32x32WithUnusedAlpha) {
    const std::vector<uint8_t> glyph = Resource(RT_RCDATA, L"SAVEGLYPH");
    ASSERT_EQ(glyph.size(), 4150u);
    ExpectBmpHeader(glyph, 32, 32);
    EXPECT_EQ(CountOf(AlphaBytes(glyph, 54, 32 * 32), 0), 32u * 32) << "alpha must be 0 throughout";
    EXPECT_TRUE(glyph == ArtFile(L"save.bmp")) << "differs from art/save.bmp";
}

TEST_P(Resources, CarriesTheCarbonStyle) {
    const auto style = ResourceImage(Exe()).Find(L"VCLSTYLE", L"CARBON");
    ASSERT_TRUE(style) << "VCLSTYLE/CARBON missing";
    EXPECT_FALSE(style->empty());
}

TEST_P(Resources, ManifestAsksForCommonControls6WithoutElevationOrDpiAwareness) {
    EXPECT_EQ(ResourceImage(Exe()).Count(RT_MANIFEST), 1);
    const std::vector<uint8_t> bytes = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    const std::string xml(bytes.begin(), bytes.end());

    const auto identities = Elements(xml, "assemblyIdentity");
    const auto controls = std::find_if(identities.begin(), identities.end(), [](const auto& a) {
        return a.count("name") && a.at("name") == "Microsoft.Windows.Common-Controls";
    });
    ASSERT_NE(controls, identities.end()) << "no dependency on the common controls";
    EXPECT_EQ(controls->at("version"), "6.0.0.0");
    EXPECT_EQ(controls->at("type"), "win32");
    EXPECT_EQ(controls->at("processorArchitecture"), "*");
    EXPECT_EQ(controls->at("language"), "*");
    EXPECT_EQ(controls->at("publicKeyToken"), "6595b64144ccf1df");

    const auto levels = Elements(xml, "requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].at("level"), "asInvoker");
    EXPECT_EQ(levels[0].at("uiAccess"), "false");

    EXPECT_EQ(Lower(xml).find("dpiaware"), std::string::npos) << "the process must stay DPI-unaware";
    EXPECT_EQ(Lower(xml).find("supportedos"), std::string::npos);
}
