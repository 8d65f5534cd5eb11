#include "framework/theme/StyleFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace StyleFormat {

namespace {

[[noreturn]] void Fail(const std::wstring& message) { Raise(EStyleFormatError(message)); }

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

bool IsEntryName(const std::string& name) {
    if (name.empty() || name.size() > 255) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
}

// --- Little-endian writing and bounds-checked reading ------------------------

class TWriter {
public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v) {
        U8(v & 0xFF);
        U8(v >> 8);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Bytes(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    void Name(const std::string& name) {
        if (!IsEntryName(name)) Fail(L"Invalid style entry name '" + Widen(name) + L"'");
        U8(static_cast<uint8_t>(name.size()));
        Bytes(name.data(), name.size());
    }
    std::vector<uint8_t>& Result() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Position() const { return pos_; }
    size_t Remaining() const { return size_ - pos_; }

    uint8_t U8() { return *Take(1); }
    uint16_t U16() {
        const uint8_t* p = Take(2);
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t U32() {
        const uint8_t* p = Take(4);
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    std::string Text(size_t length) {
        const uint8_t* p = Take(length);
        return std::string(reinterpret_cast<const char*>(p), length);
    }
    std::string Name() {
        std::string name = Text(U8());
        if (!IsEntryName(name)) Fail(L"Style entry at offset " + std::to_wstring(pos_) +
                                     L" has an invalid name");
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

bool IsValidUtf8(const std::string& text) {
    if (text.empty()) return true;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

void WriteBody(TWriter& body, const TStyleDocument& document) {
    body.Bytes(document.Name.data(), document.Name.size());
    for (const TStyleColorEntry& c : document.Colors) {
        body.Name(c.Name);
        body.U8(c.Red);
        body.U8(c.Green);
        body.U8(c.Blue);
    }
    for (const TStyleMetricEntry& m : document.Metrics) {
        body.Name(m.Name);
        body.U32(static_cast<uint32_t>(m.Value));
    }
}

}  // namespace

std::vector<uint8_t> Serialize(const TStyleDocument& document) {
    if (document.Name.size() > 0xFFFF || document.Colors.size() > 0xFFFF ||
        document.Metrics.size() > 0xFFFF)
        Fail(L"Style has too many entries or too long a name");
    TWriter body;
    WriteBody(body, document);
    const std::vector<uint8_t>& bodyBytes = body.Result();

    TWriter out;
    out.Bytes(Magic, sizeof Magic);
    out.U16(Version);
    out.U16(static_cast<uint16_t>(document.Name.size()));
    out.U16(static_cast<uint16_t>(document.Colors.size()));
    out.U16(static_cast<uint16_t>(document.Metrics.size()));
    out.U32(static_cast<uint32_t>(bodyBytes.size()));
    out.U32(Crc32(bodyBytes.data(), bodyBytes.size()));
    out.Bytes(bodyBytes.data(), bodyBytes.size());
    return std::move(out.Result());
}

TStyleDocument Deserialize(const uint8_t* data, size_t size) {
    if (size < HeaderSize) Fail(L"Style header is truncated");
    if (std::memcmp(data, Magic, sizeof Magic) != 0) Fail(L"Style data has a wrong signature");
    TReader header(data + sizeof Magic, HeaderSize - sizeof Magic);
    const uint16_t version = header.U16();
    if (version != Version)
        Fail(L"Style format version " + std::to_wstring(version) + L" is not supported");
    const uint16_t nameLength = header.U16();
    const uint16_t colorCount = header.U16();
    const uint16_t metricCount = header.U16();
    const uint32_t bodySize = header.U32();
    const uint32_t checksum = header.U32();

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
    for (uint16_t i = 0; i < colorCount; ++i) {
        TStyleColorEntry c;
        c.Name = body.Name();
        c.Red = body.U8();
        c.Green = body.U8();
        c.Blue = body.U8();
        document.Colors.push_back(std::move(c));
    }
    for (uint16_t i = 0; i < metricCount; ++i) {
        TStyleMetricEntry m;
        m.Name = body.Name();
        m.Value = static_cast<int32_t>(body.U32());
        document.Metrics.push_back(std::move(m));
    }
    if (body.Remaining() != 0)
        Fail(L"Style body has " + std::to_wstring(body.Remaining()) + L" bytes after its entries");
    return document;
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& payload) {
    uLongf size = compressBound(static_cast<uLong>(payload.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, payload.data(), static_cast<uLong>(payload.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        Fail(L"Style data could not be compressed");
    out.resize(size);
    return out;
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

std::vector<uint8_t> Encode(const TStyleDocument& document) {
    return Compress(Serialize(document));
}

TStyleDocument Decode(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> payload = Inflate(data, size);
    return Deserialize(payload.data(), payload.size());
}

// --- Readable source ----------------------------------------------------------

namespace {

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

[[noreturn]] void FailAt(size_t line, const std::string& what) {
    Fail(L"Line " + std::to_wstring(line) + L": " + Widen(what));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

TStyleColorEntry ParseColor(size_t line, const std::string& name, const std::string& value) {
    const bool shaped = value.size() == 7 && value[0] == '#' &&
                        std::all_of(value.begin() + 1, value.end(),
                                    [](char c) { return HexDigit(c) >= 0; });
    if (!shaped) FailAt(line, "colour '" + value + "' is not of the form #RRGGBB");
    auto byteAt = [&](size_t i) {
        return static_cast<uint8_t>(HexDigit(value[i]) * 16 + HexDigit(value[i + 1]));
    };
    return {name, byteAt(1), byteAt(3), byteAt(5)};
}

TStyleMetricEntry ParseMetric(size_t line, const std::string& name, const std::string& value) {
    size_t digits = value.size() > 0 && value[0] == '-' ? 1 : 0;
    const bool shaped = value.size() > digits && value.size() <= digits + 9 &&
                        std::all_of(value.begin() + digits, value.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    if (!shaped) FailAt(line, "metric '" + value + "' is not a whole number");
    return {name, static_cast<int32_t>(std::stol(value))};
}

void CheckEntryName(size_t line, const std::string& key, const std::string& name) {
    if (!IsEntryName(name)) FailAt(line, "'" + key + "' does not name an entry");
}

}  // namespace

TStyleDocument ParseSource(const std::string& text) {
    TStyleDocument document;
    bool named = false;
    size_t lineNumber = 0;
    size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;

        const size_t equals = line.find('=');
        if (equals == std::string::npos) FailAt(lineNumber, "expected 'key = value'");
        const std::string key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        if (key == "name") {
            if (named) FailAt(lineNumber, "the name is given twice");
            if (value.empty()) FailAt(lineNumber, "the name is empty");
            if (!IsValidUtf8(value)) FailAt(lineNumber, "the name is not valid UTF-8");
            document.Name = value;
            named = true;
        } else if (key.rfind("color.", 0) == 0) {
            CheckEntryName(lineNumber, key, key.substr(6));
            document.Colors.push_back(ParseColor(lineNumber, key.substr(6), value));
        } else if (key.rfind("metric.", 0) == 0) {
            CheckEntryName(lineNumber, key, key.substr(7));
            document.Metrics.push_back(ParseMetric(lineNumber, key.substr(7), value));
        } else {
            FailAt(lineNumber, "unknown key '" + key + "'");
        }
    }
    return document;
}

}  // namespace StyleFormat
