#include "tools/stylec/StyleWriter.h"

#include <zlib.h>

#include <algorithm>

using namespace StyleFormat;

namespace StyleWriter {

namespace {

[[noreturn]] void Fail(const std::wstring& message) { Raise(EStyleFormatError(message)); }

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

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

std::vector<uint8_t> Compress(const std::vector<uint8_t>& payload) {
    uLongf size = compressBound(static_cast<uLong>(payload.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, payload.data(), static_cast<uLong>(payload.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        Fail(L"Style data could not be compressed");
    out.resize(size);
    return out;
}

std::vector<uint8_t> Encode(const TStyleDocument& document) {
    return Compress(Serialize(document));
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

}  // namespace StyleWriter
