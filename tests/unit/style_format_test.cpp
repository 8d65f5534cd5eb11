#include <gtest/gtest.h>
#include <zlib.h>

#include "framework/theme/Style.h"
#include "framework/theme/StyleFormat.h"
#include "tests/unit/style_test_support.h"

using style_test::SampleDocument;

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The message of the error that loading `bytes` raises, or "(loaded)".
std::wstring LoadError(const std::vector<uint8_t>& bytes) {
    try {
        TCustomStyle::Load(bytes.data(), bytes.size());
    } catch (const ECustomStyleException& e) {
        return e.Message();
    }
    return L"(loaded)";
}

#define EXPECT_LOAD_FAILS(bytes, fragment)                                          \
    do {                                                                            \
        const std::wstring message_ = LoadError(bytes);                             \
        EXPECT_NE(message_.find(fragment), std::wstring::npos) << Narrow(message_); \
    } while (0)

void PutU16(std::vector<uint8_t>& p, size_t at, uint16_t v) {
    p[at] = v & 0xFF;
    p[at + 1] = v >> 8;
}

void PutU32(std::vector<uint8_t>& p, size_t at, uint32_t v) {
    PutU16(p, at, v & 0xFFFF);
    PutU16(p, at + 2, v >> 16);
}

// Makes the header's size and checksum fit the body again, so that a test
// reaches the checks behind them.
void Restamp(std::vector<uint8_t>& payload) {
    const size_t body = payload.size() - StyleFormat::HeaderSize;
    PutU32(payload, 12, static_cast<uint32_t>(body));
    PutU32(payload, 16, crc32(0, payload.data() + StyleFormat::HeaderSize, static_cast<uInt>(body)));
}

std::vector<uint8_t> SamplePayload() { return StyleWriter::Serialize(SampleDocument()); }

std::vector<uint8_t> Packed(const std::vector<uint8_t>& payload) {
    return StyleWriter::Compress(payload);
}

}  // namespace

TEST(StyleFormat, RoundTripKeepsNameEveryColourAndMetric) {
    const TStyleDocument document = SampleDocument();
    const std::vector<uint8_t> bytes = StyleWriter::Encode(document);
    const TStyleDocument back = StyleFormat::Decode(bytes.data(), bytes.size());
    EXPECT_EQ(back.Name, document.Name);
    ASSERT_EQ(back.Colors.size(), document.Colors.size());
    for (size_t i = 0; i < document.Colors.size(); ++i) {
        EXPECT_EQ(back.Colors[i].Name, document.Colors[i].Name);
        EXPECT_EQ(RGB(back.Colors[i].Red, back.Colors[i].Green, back.Colors[i].Blue),
                  RGB(document.Colors[i].Red, document.Colors[i].Green, document.Colors[i].Blue));
    }
    ASSERT_EQ(back.Metrics.size(), document.Metrics.size());
    for (size_t i = 0; i < document.Metrics.size(); ++i) EXPECT_EQ(back.Metrics[i].Value, document.Metrics[i].Value);

    // Each entry lands in the member of its name.
    const TCustomStyle style = TCustomStyle::Load(bytes.data(), bytes.size());
    EXPECT_EQ(style.Name(), L"Sample");
    EXPECT_EQ(style.Palette().Window, RGB(1, 101, 199));
    EXPECT_EQ(style.Palette().Text, RGB(2, 102, 198));
    EXPECT_EQ(style.Palette().CaptionBar, RGB(25, 125, 175));
    EXPECT_EQ(style.Metrics().CheckBoxSize, 11);
    EXPECT_EQ(style.Metrics().ButtonCornerRadius, 12);
}

TEST(StyleFormat, NameIsUtf8AndEntryOrderDoesNotMatter) {
    TStyleDocument document = SampleDocument("Carb\xC3\xB3n \xE2\x9C\x93");
    std::swap(document.Colors.front(), document.Colors.back());
    std::swap(document.Metrics.front(), document.Metrics.back());
    const std::vector<uint8_t> bytes = StyleWriter::Encode(document);
    const TCustomStyle style = TCustomStyle::Load(bytes.data(), bytes.size());
    EXPECT_EQ(style.Name(), L"Carb\u00F3n \u2713");
    EXPECT_EQ(style.Palette().Window, RGB(1, 101, 199));
    EXPECT_EQ(style.Palette().CaptionBar, RGB(25, 125, 175));
    EXPECT_EQ(style.Metrics().CheckBoxSize, 11);
}

TEST(StyleFormat, RejectsDamagedCompressedStream) {
    const std::vector<uint8_t> good = Packed(SamplePayload());
    ASSERT_EQ(LoadError(good), L"(loaded)");

    EXPECT_LOAD_FAILS(std::vector<uint8_t>(good.begin(), good.end() - 6), L"truncated");
    EXPECT_LOAD_FAILS(std::vector<uint8_t>(good.begin(), good.begin() + 2), L"truncated");
    EXPECT_LOAD_FAILS(std::vector<uint8_t>(), L"truncated");
    EXPECT_LOAD_FAILS(std::vector<uint8_t>(1, 0), L"truncated");  // the old placeholder

    std::vector<uint8_t> trailing = good;
    trailing.push_back(0);
    EXPECT_LOAD_FAILS(trailing, L"after its compressed stream");

    const std::string text = "name = Carbon";  // a source file is not a style
    EXPECT_LOAD_FAILS(std::vector<uint8_t>(text.begin(), text.end()), L"not a valid zlib stream");

    std::vector<uint8_t> flipped = good;
    flipped[flipped.size() / 2] ^= 0x55;
    EXPECT_NE(LoadError(flipped), L"(loaded)");

    EXPECT_LOAD_FAILS(Packed(std::vector<uint8_t>(StyleFormat::MaxPayloadSize + 1, 0)),
                      L"size limit");
}

TEST(StyleFormat, RejectsBadHeader) {
    const std::vector<uint8_t> payload = SamplePayload();
    EXPECT_LOAD_FAILS(Packed(std::vector<uint8_t>(payload.begin(), payload.begin() + 19)),
                      L"header is truncated");

    std::vector<uint8_t> magic = SamplePayload();
    magic[0] = 'X';
    EXPECT_LOAD_FAILS(Packed(magic), L"wrong signature");

    std::vector<uint8_t> version = SamplePayload();
    PutU16(version, 4, 2);
    EXPECT_LOAD_FAILS(Packed(version), L"version 2 is not supported");

    std::vector<uint8_t> larger = SamplePayload();
    PutU32(larger, 12, static_cast<uint32_t>(larger.size()));  // header counted in
    EXPECT_LOAD_FAILS(Packed(larger), L"size mismatch");

    std::vector<uint8_t> cut = SamplePayload();
    cut.resize(cut.size() - 3);  // declared size still the full body
    EXPECT_LOAD_FAILS(Packed(cut), L"size mismatch");

    std::vector<uint8_t> checksum = SamplePayload();
    checksum[StyleFormat::HeaderSize + 1] ^= 0x20;  // inside the name: "SAmple"
    EXPECT_LOAD_FAILS(Packed(checksum), L"checksum mismatch");
    PutU32(checksum, 16, 0);
    Restamp(checksum);
    EXPECT_EQ(LoadError(Packed(checksum)), L"(loaded)");
}

TEST(StyleFormat, RejectsBodyThatDisagreesWithItsCounts) {
    std::vector<uint8_t> shortBody = SamplePayload();
    shortBody.resize(shortBody.size() - 2);  // the last metric's value is cut
    Restamp(shortBody);
    EXPECT_LOAD_FAILS(Packed(shortBody), L"ends inside an entry");

    std::vector<uint8_t> fewerMetrics = SamplePayload();
    PutU16(fewerMetrics, 10, 1);  // the last metric is then left over
    EXPECT_LOAD_FAILS(Packed(fewerMetrics), L"bytes after its entries");

    std::vector<uint8_t> spare = SamplePayload();
    spare.push_back(7);
    Restamp(spare);
    EXPECT_LOAD_FAILS(Packed(spare), L"1 bytes after its entries");

    std::vector<uint8_t> emptyName = SamplePayload();
    emptyName[StyleFormat::HeaderSize + 6] = 0;  // length byte of the first colour's name
    Restamp(emptyName);
    EXPECT_LOAD_FAILS(Packed(emptyName), L"invalid name");

    std::vector<uint8_t> badUtf8 = SamplePayload();
    badUtf8[StyleFormat::HeaderSize] = 0xC3;  // lead byte without its follower
    Restamp(badUtf8);
    EXPECT_LOAD_FAILS(Packed(badUtf8), L"not valid UTF-8");
}

TEST(StyleFormat, RejectsIncompleteOrUnknownContent) {
    auto encodeWith = [](auto change) {
        TStyleDocument document = SampleDocument();
        change(document);
        return StyleWriter::Encode(document);
    };
    EXPECT_LOAD_FAILS(encodeWith([](TStyleDocument& d) { d.Colors.pop_back(); }),
                      L"lacks the colour 'CaptionBar'");
    EXPECT_LOAD_FAILS(encodeWith([](TStyleDocument& d) { d.Metrics.erase(d.Metrics.begin()); }),
                      L"lacks the metric 'CheckBoxSize'");
    EXPECT_LOAD_FAILS(encodeWith([](TStyleDocument& d) { d.Colors[3].Name = "Windw"; }),
                      L"unknown colour 'Windw'");
    EXPECT_LOAD_FAILS(encodeWith([](TStyleDocument& d) { d.Colors[3].Name = "Window"; }),
                      L"colour 'Window' twice");
    EXPECT_LOAD_FAILS(encodeWith([](TStyleDocument& d) { d.Metrics[0].Value = 200; }),
                      L"'CheckBoxSize' is out of range");
    EXPECT_LOAD_FAILS(encodeWith([](TStyleDocument& d) { d.Name.clear(); }), L"has no name");
}

TEST(StyleFormat, RefusesToWriteInvalidEntryNames) {
    TStyleDocument document = SampleDocument();
    document.Colors[0].Name = "Window Face";
    EXPECT_THROW(StyleWriter::Serialize(document), EStyleFormatError);
}

TEST(StyleSource, ParsesCommentsBlanksCrLfAndBom) {
    const TStyleDocument document = StyleWriter::ParseSource(
        "\xEF\xBB\xBF# a comment\r\n"
        "\r\n"
        "  name   =  Carbon Night  \r\n"
        "\t# indented comment\r\n"
        "color.Window=#1e1F22\r\n"
        "metric.CheckBoxSize = 13\r\n"
        "metric.ButtonCornerRadius = -1");
    EXPECT_EQ(document.Name, "Carbon Night");
    ASSERT_EQ(document.Colors.size(), 1u);
    EXPECT_EQ(document.Colors[0].Name, "Window");
    EXPECT_EQ(document.Colors[0].Red, 0x1E);
    EXPECT_EQ(document.Colors[0].Green, 0x1F);
    EXPECT_EQ(document.Colors[0].Blue, 0x22);
    ASSERT_EQ(document.Metrics.size(), 2u);
    EXPECT_EQ(document.Metrics[0].Value, 13);
    EXPECT_EQ(document.Metrics[1].Value, -1);
}

TEST(StyleSource, ReportsTheLineOfEachMistake) {
    auto errorOf = [](const std::string& text) -> std::wstring {
        try {
            StyleWriter::ParseSource(text);
        } catch (const EStyleFormatError& e) {
            return e.Message();
        }
        return L"(parsed)";
    };
    EXPECT_EQ(errorOf("name = A\n\ncolor.Text = #12345"),
              L"Line 3: colour '#12345' is not of the form #RRGGBB");
    EXPECT_EQ(errorOf("color.Text = 123456"), L"Line 1: colour '123456' is not of the form #RRGGBB");
    EXPECT_EQ(errorOf("color.Text = #12345G"), L"Line 1: colour '#12345G' is not of the form #RRGGBB");
    EXPECT_EQ(errorOf("# x\nmetric.CheckBoxSize = 1.5"),
              L"Line 2: metric '1.5' is not a whole number");
    EXPECT_EQ(errorOf("metric.CheckBoxSize = 9999999999"),
              L"Line 1: metric '9999999999' is not a whole number");
    EXPECT_EQ(errorOf("colour.Text = #123456"), L"Line 1: unknown key 'colour.Text'");
    EXPECT_EQ(errorOf("color. = #123456"), L"Line 1: 'color.' does not name an entry");
    EXPECT_EQ(errorOf("name = A\nname = B"), L"Line 2: the name is given twice");
    EXPECT_EQ(errorOf("name ="), L"Line 1: the name is empty");
    EXPECT_EQ(errorOf("color.Text #123456"), L"Line 1: expected 'key = value'");
}
