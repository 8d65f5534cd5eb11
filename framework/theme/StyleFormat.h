#pragma once
// The container of a compiled visual style (.vsf) and its readable source
// (.style). Both are documented in resources/style/README.md. This layer knows
// the byte layout only; which colours and metrics a style must carry is the
// business of TCustomStyle (Style.h).
#include <cstdint>
#include <string>
#include <vector>

#include "framework/errors/Exceptions.h"

// Style data that breaks the format; the message says what is wrong.
class EStyleFormatError : public ECustomStyleException {
public:
    using ECustomStyleException::ECustomStyleException;
    KV_ERROR_CLASS(EStyleFormatError)
};

struct TStyleColorEntry {
    std::string Name;  // ASCII letters and digits
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
};

struct TStyleMetricEntry {
    std::string Name;  // ASCII letters and digits
    int32_t Value = 0;
};

// A style as the file holds it: the recorded name and the named entries in
// file order, not yet checked for completeness.
struct TStyleDocument {
    std::string Name;  // UTF-8
    std::vector<TStyleColorEntry> Colors;
    std::vector<TStyleMetricEntry> Metrics;
};

namespace StyleFormat {

inline constexpr char Magic[4] = {'K', 'V', 'S', 'F'};
inline constexpr uint16_t Version = 1;
inline constexpr size_t HeaderSize = 20;
// Far above any real style; keeps a hostile stream from inflating without end.
inline constexpr size_t MaxPayloadSize = 1 << 20;

// The inflated payload (header and body) for `document`.
std::vector<uint8_t> Serialize(const TStyleDocument& document);
// Reads an inflated payload, checking header, sizes, checksum and entries.
TStyleDocument Deserialize(const uint8_t* data, size_t size);

// zlib wrappers: Compress makes one zlib stream at the best compression;
// Inflate requires exactly one complete stream and nothing after it.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& payload);
std::vector<uint8_t> Inflate(const uint8_t* data, size_t size);

// The compiled style (.vsf) for `document`, and back.
std::vector<uint8_t> Encode(const TStyleDocument& document);
TStyleDocument Decode(const uint8_t* data, size_t size);

// Parses the readable source; errors name the line.
TStyleDocument ParseSource(const std::string& text);

}  // namespace StyleFormat
