#include "framework/theme/StyleFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace StyleFormat {

bool IsEntryName(const std::string& name) {
    if (name.empty() || name.size() > 255) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    return static_cast<uint32_t>(crc32(0L, data, static_cast<uInt>(size)));
}

bool IsValidUtf8(const std::string& text) {
    if (text.empty()) return true;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

namespace {

[[noreturn]] void Fail(const std::wstring& message) { Raise(EStyleFormatError(message)); }

// Bounds-checked little-endian reading.
class TReader {
public:
    TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Remaining() const { return size_ - pos_; }

    // An unsigned little-endian number of `bytes` bytes.
    uint32_t Number(size_t bytes) {
        const uint8_t* p = Take(bytes);
        uint32_t value = 0;
        for (size_t i = bytes; i-- > 0;) value = value << 8 | p[i];
        return value;
    }
    uint8_t U8() { return static_cast<uint8_t>(Number(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Number(2)); }
    std::string Text(size_t length) {
        const uint8_t* p = Take(length);
        return std::string(reinterpret_cast<const char*>(p), length);
    }
    std::string Name() {
        std::string name = Text(U8());
        if (!IsEntryName(name)) Fail(L"Style entry at offset " + std::to_wstring(pos_) + L" has an invalid name");
        return name;
    }

private:
    const uint8_t* Take(size_t n) {
        if (n > Remaining()) Fail(L"Style body ends inside an entry");
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace

TStyleDocument Deserialize(const uint8_t* data, size_t size) {
    if (size < HeaderSize) Fail(L"Style header is truncated");
    if (std::memcmp(data, Magic, sizeof Magic) != 0) Fail(L"Style data has a wrong signature");
    TReader header(data + sizeof Magic, HeaderSize - sizeof Magic);
    const uint16_t version = header.U16();
    if (version != Version) Fail(L"Style format version " + std::to_wstring(version) + L" is not supported");
    const uint16_t nameLength = header.U16(), colorCount = header.U16(), metricCount = header.U16();
    const uint32_t bodySize = header.Number(4), checksum = header.Number(4);

    const size_t actualBody = size - HeaderSize;
    if (bodySize != actualBody)
        Fail(L"Style body size mismatch: declared " + std::to_wstring(bodySize) + L", found " +
             std::to_wstring(actualBody));
    const uint8_t* bodyData = data + HeaderSize;
    if (Crc32(bodyData, actualBody) != checksum) Fail(L"Style checksum mismatch");

    TReader body(bodyData, actualBody);
    TStyleDocument document;
    document.Name = body.Text(nameLength);
    if (!IsValidUtf8(document.Name)) Fail(L"Style name is not valid UTF-8");
    // Braced initialisers read their parts in order: name, red, green, blue.
    for (uint16_t i = 0; i < colorCount; ++i) document.Colors.push_back({body.Name(), body.U8(), body.U8(), body.U8()});
    for (uint16_t i = 0; i < metricCount; ++i)
        document.Metrics.push_back({body.Name(), static_cast<int32_t>(body.Number(4))});
    if (body.Remaining() != 0)
        Fail(L"Style body has " + std::to_wstring(body.Remaining()) + L" bytes after its entries");
    return document;
}

std::vector<uint8_t> Inflate(const uint8_t* data, size_t size) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) Fail(L"zlib could not be initialised");
    std::vector<uint8_t> out;
    uint8_t chunk[16384];
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = chunk;
        stream.avail_out = sizeof chunk;
        result = inflate(&stream, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - stream.avail_out));
        if (out.size() > MaxPayloadSize) result = Z_MEM_ERROR;
        // No input left and nothing produced: the stream stops short.
        if (result == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) result = Z_BUF_ERROR;
    }
    const size_t unused = stream.avail_in;
    inflateEnd(&stream);

    if (result == Z_BUF_ERROR) Fail(L"Style data is truncated");
    if (result == Z_MEM_ERROR) Fail(L"Style data inflates beyond the size limit");
    if (result != Z_STREAM_END) Fail(L"Style data is not a valid zlib stream");
    if (unused != 0) Fail(L"Style data has bytes after its compressed stream");
    return out;
}

TStyleDocument Decode(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> payload = Inflate(data, size);
    return Deserialize(payload.data(), payload.size());
}

}  // namespace StyleFormat
