#pragma once
// A loaded visual style: its recorded name, the colours the painting code
// uses and a few metrics. Built from a compiled style (.vsf) whose container
// StyleFormat.h reads; every colour and metric below must be present.
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/theme/StyleFormat.h"

struct TStylePalette {
    COLORREF Window = 0;              // client area of windows and group boxes
    COLORREF Text = 0;                // labels, check box and radio captions
    COLORREF TextDisabled = 0;
    COLORREF GroupFrame = 0;          // the group box's frame line
    COLORREF GroupText = 0;           // the group box's caption
    COLORREF EditFace = 0;
    COLORREF EditText = 0;
    COLORREF EditBorder = 0;
    COLORREF EditBorderFocused = 0;
    COLORREF ButtonFace = 0;
    COLORREF ButtonFaceHot = 0;
    COLORREF ButtonFacePressed = 0;
    COLORREF ButtonFaceDisabled = 0;
    COLORREF ButtonBorder = 0;
    COLORREF ButtonText = 0;
    COLORREF ButtonTextDisabled = 0;
    COLORREF FocusRing = 0;
    COLORREF CheckFace = 0;           // inside of check boxes and radio circles
    COLORREF CheckBorder = 0;
    COLORREF CheckMark = 0;           // check mark and radio dot
    COLORREF CheckMarkDisabled = 0;
    COLORREF StatusFace = 0;
    COLORREF StatusText = 0;
    COLORREF StatusSeparator = 0;
    COLORREF CaptionBar = 0;          // window caption where Windows lets it be coloured
};

// Sizes in pixels at 96 DPI.
struct TStyleMetrics {
    int CheckBoxSize = 0;        // side of the check box square and radio circle
    int ButtonCornerRadius = 0;
};

class TCustomStyle {
public:
    TCustomStyle(std::wstring name, const TStylePalette& palette, const TStyleMetrics& metrics)
        : name_(std::move(name)), palette_(palette), metrics_(metrics) {}

    // Loads a compiled style (resource bytes); raises EStyleFormatError when
    // the data is damaged or incomplete.
    static TCustomStyle Load(const uint8_t* data, size_t size);
    // Checks a parsed document for a name and every colour and metric, each
    // exactly once; raises EStyleFormatError otherwise.
    static TCustomStyle FromDocument(const TStyleDocument& document);

    const std::wstring& Name() const { return name_; }
    const TStylePalette& Palette() const { return palette_; }
    const TStyleMetrics& Metrics() const { return metrics_; }

private:
    std::wstring name_;
    TStylePalette palette_;
    TStyleMetrics metrics_;
};
