#pragma once
// The container of a compiled visual style (.vsf), as the executable reads it.
// The format and its readable source (.style) are documented in
// resources/style/README.md; the style compiler (tools/stylec) writes it. This
// layer knows the byte layout only; which colours and metrics a style must
// carry is the business of TCustomStyle (Style.h).
#include <cstdint>
#include <string>
#include <vector>

#include "framework/errors/Exceptions.h"

struct TStyleColorEntry {
    std::string Name;  // ASCII letters and digits
    uint8_t Red = 0, Green = 0, Blue = 0;
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

bool IsEntryName(const std::string& name);
bool IsValidUtf8(const std::string& text);
uint32_t Crc32(const uint8_t* data, size_t size);

// Reads an inflated payload, checking header, sizes, checksum and entries.
TStyleDocument Deserialize(const uint8_t* data, size_t size);
// Requires exactly one complete zlib stream and nothing after it.
std::vector<uint8_t> Inflate(const uint8_t* data, size_t size);
// A compiled style (.vsf): Inflate, then Deserialize.
TStyleDocument Decode(const uint8_t* data, size_t size);

}  // namespace StyleFormat
