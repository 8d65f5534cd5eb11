#include "framework/theme/Style.h"

#include <algorithm>
#include <array>
#include <set>

#include "framework/core/CodePage.h"

namespace {

struct TStyleColorField {
    const char* Name;
    COLORREF TStylePalette::*Member;
};

struct TStyleMetricField {
    const char* Name;
    int TStyleMetrics::*Member;
    int Min;
    int Max;
};

#define KV_COLOR(name) TStyleColorField{#name, &TStylePalette::name}
constexpr std::array colorFields = {
    KV_COLOR(Window), KV_COLOR(Text), KV_COLOR(TextDisabled),
    KV_COLOR(GroupFrame), KV_COLOR(GroupText), KV_COLOR(EditFace),
    KV_COLOR(EditText), KV_COLOR(EditBorder), KV_COLOR(EditBorderFocused),
    KV_COLOR(ButtonFace), KV_COLOR(ButtonFaceHot), KV_COLOR(ButtonFacePressed),
    KV_COLOR(ButtonFaceDisabled), KV_COLOR(ButtonBorder), KV_COLOR(ButtonText),
    KV_COLOR(ButtonTextDisabled), KV_COLOR(FocusRing), KV_COLOR(CheckFace),
    KV_COLOR(CheckBorder), KV_COLOR(CheckMark), KV_COLOR(CheckMarkDisabled),
    KV_COLOR(StatusFace), KV_COLOR(StatusText), KV_COLOR(StatusSeparator),
    KV_COLOR(CaptionBar),
};
#undef KV_COLOR

// The painting code draws with these; the limits keep a damaged style from
// producing absurd shapes.
constexpr std::array metricFields = {
    TStyleMetricField{"CheckBoxSize", &TStyleMetrics::CheckBoxSize, 8, 64},
    TStyleMetricField{"ButtonCornerRadius", &TStyleMetrics::ButtonCornerRadius, 0, 32},
};

[[noreturn]] void Fail(const std::wstring& message) { Raise(EStyleFormatError(message)); }

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Finds the field called `name`, refusing names that are unknown or repeated.
template <class Fields>
auto FieldNamed(const Fields& fields, const std::string& name, std::set<std::string>& seen, const wchar_t* kind) {
    const auto field = std::ranges::find_if(fields, [&](const auto& f) { return name == f.Name; });
    if (field == fields.end()) Fail(L"Style has an unknown " + std::wstring(kind) + L" '" + Widen(name) + L"'");
    if (!seen.insert(name).second) Fail(L"Style lists the " + std::wstring(kind) + L" '" + Widen(name) + L"' twice");
    return field;
}

template <class Fields>
void RequireAll(const Fields& fields, const std::set<std::string>& seen, const wchar_t* kind) {
    for (const auto& f : fields)
        if (!seen.count(f.Name)) Fail(L"Style lacks the " + std::wstring(kind) + L" '" + Widen(f.Name) + L"'");
}

}  // namespace

TCustomStyle TCustomStyle::Load(const uint8_t* data, size_t size) {
    return FromDocument(StyleFormat::Decode(data, size));
}

TCustomStyle TCustomStyle::FromDocument(const TStyleDocument& document) {
    if (document.Name.empty()) Fail(L"Style has no name");
    if (!StyleFormat::IsValidUtf8(document.Name)) Fail(L"Style name is not valid UTF-8");
    const std::wstring name = Decode(document.Name, CP_UTF8);

    TStylePalette palette;
    std::set<std::string> seen;
    for (const TStyleColorEntry& c : document.Colors) {
        const auto field = FieldNamed(colorFields, c.Name, seen, L"colour");
        palette.*(field->Member) = RGB(c.Red, c.Green, c.Blue);
    }
    RequireAll(colorFields, seen, L"colour");

    TStyleMetrics metrics;
    seen.clear();
    for (const TStyleMetricEntry& m : document.Metrics) {
        const auto field = FieldNamed(metricFields, m.Name, seen, L"metric");
        if (m.Value < field->Min || m.Value > field->Max)
            Fail(L"Style metric '" + Widen(m.Name) + L"' is out of range: " + std::to_wstring(m.Value));
        metrics.*(field->Member) = m.Value;
    }
    RequireAll(metricFields, seen, L"metric");
    return TCustomStyle(name, palette, metrics);
}
