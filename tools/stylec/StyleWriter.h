#pragma once
// The writing half of the style format, which only the style compiler needs:
// the readable source (.style) parsed into a document, and a document
// serialized and compressed into a compiled style (.vsf). The executable only
// reads compiled styles (framework/theme/StyleFormat.h).
#include <cstdint>
#include <string>
#include <vector>

#include "framework/theme/StyleFormat.h"

namespace StyleWriter {

// Parses the readable source; errors name the line.
TStyleDocument ParseSource(const std::string& text);
// The inflated payload (header and body) for `document`.
std::vector<uint8_t> Serialize(const TStyleDocument& document);
// One zlib stream at the best compression.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& payload);
// The compiled style (.vsf) for `document`.
std::vector<uint8_t> Encode(const TStyleDocument& document);

}  // namespace StyleWriter
