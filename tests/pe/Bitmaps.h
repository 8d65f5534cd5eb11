#pragma once
// Reading and checking the .bmp and .ico pictures the executable carries.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace bitmaps {

inline uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    if (at + 2 > b.size())
        throw std::runtime_error("picture data too short");
    return uint32_t(b[at] | b[at + 1] << 8);
}
inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }
inline int32_t I32(const std::vector<uint8_t>& b, size_t at) { return int32_t(U32(b, at)); }

// BITMAPINFOHEADER fields, read at `at`.
struct DibHeader {
    uint32_t size;
    int32_t width, height;
    uint32_t planes, bitCount, compression;
};

inline DibHeader ReadDibHeader(const std::vector<uint8_t>& b, size_t at) {
    return {U32(b, at), I32(b, at + 4), I32(b, at + 8), U16(b, at + 12), U16(b, at + 14), U32(b, at + 16)};
}

// A whole .bmp file: BITMAPFILEHEADER and BITMAPINFOHEADER.
struct BmpHeader {
    uint32_t magic, fileSize, pixelOffset;
    DibHeader dib;
};

inline BmpHeader ReadBmpHeader(const std::vector<uint8_t>& b) {
    return {U16(b, 0), U32(b, 2), U32(b, 10), ReadDibHeader(b, 14)};
}

// The alpha bytes of 32-bit pixels that start at `offset` and run `count` pixels.
inline std::vector<uint8_t> AlphaBytes(const std::vector<uint8_t>& b, size_t offset, size_t count) {
    if (offset + count * 4 > b.size())
        throw std::runtime_error("pixel data too short");
    std::vector<uint8_t> alpha;
    for (size_t i = 0; i < count; ++i)
        alpha.push_back(b[offset + i * 4 + 3]);
    return alpha;
}

constexpr uint32_t kBiRgb = 0;

// One image of an .ico file as its directory describes it.
struct IconFileImage {
    int size;  // the directory stores 256 as 0
    uint32_t planes, bitCount;
    std::vector<uint8_t> data;
};

// The images of an .ico file; throws when the directory points outside the file.
inline std::vector<IconFileImage> ReadIconFile(const std::vector<uint8_t>& b) {
    if (U16(b, 0) != 0 || U16(b, 2) != 1)
        throw std::runtime_error("not an icon file");
    std::vector<IconFileImage> images;
    for (size_t i = 0, count = U16(b, 4); i < count; ++i) {
        const size_t entry = 6 + i * 16;
        const uint32_t bytes = U32(b, entry + 8), offset = U32(b, entry + 12);
        if (size_t(offset) + bytes > b.size())
            throw std::runtime_error("icon image outside the file");
        images.push_back({b.at(entry) == 0 ? 256 : b[entry], U16(b, entry + 4), U16(b, entry + 6),
                          std::vector<uint8_t>(b.begin() + offset, b.begin() + offset + bytes)});
    }
    return images;
}

// An icon image of `size` pixels must be an uncompressed 32-bit DIB (header with
// doubled height, colour pixels, AND mask), not PNG, and its mask must mark
// exactly the fully transparent pixels.
inline void ExpectUncompressedIconImage(const std::vector<uint8_t>& dib, int size) {
    ASSERT_GE(dib.size(), 40u);
    ASSERT_FALSE(dib[0] == 0x89 && dib[1] == 'P' && dib[2] == 'N' && dib[3] == 'G') << size << " px image is PNG";
    const DibHeader h = ReadDibHeader(dib, 0);
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, size);
    EXPECT_EQ(h.height, size * 2);
    EXPECT_EQ(h.planes, 1u);
    EXPECT_EQ(h.bitCount, 32u);
    EXPECT_EQ(h.compression, kBiRgb);
    const size_t pixels = size_t(size) * size;
    const size_t maskRow = (size_t(size) + 31) / 32 * 4;
    ASSERT_EQ(dib.size(), 40 + pixels * 4 + maskRow * size) << size << " px image";

    const std::vector<uint8_t> alpha = AlphaBytes(dib, 40, pixels);
    const size_t mask = 40 + pixels * 4;
    int mismatches = 0;
    for (size_t row = 0; row < size_t(size); ++row)
        for (size_t col = 0; col < size_t(size); ++col) {
            const bool transparent = dib[mask + row * maskRow + col / 8] & (0x80 >> (col % 8));
            mismatches += transparent != (alpha[row * size + col] == 0);
        }
    EXPECT_EQ(mismatches, 0) << size << " px image: AND mask disagrees with alpha";
}

}  // namespace bitmaps
