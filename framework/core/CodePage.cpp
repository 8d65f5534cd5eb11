#include "framework/core/CodePage.h"

#include <climits>
#include <stdexcept>

namespace {
int PlatformLength(size_t length) {
    if (length > INT_MAX / 4) throw std::length_error("text too long for a code page conversion");
    return static_cast<int>(length);
}
}  // namespace

std::wstring Decode(std::string_view bytes, UINT codePage) {
    std::wstring text(bytes.size(), L'\0');  // no code page gives more units than bytes
    if (IsUtf16(codePage)) {
        text.resize(bytes.size() / 2);
        for (size_t i = 0; i < text.size(); ++i) text[i] = UnitAt(bytes, 2 * i, codePage);
    } else if (!bytes.empty()) {
        const int length = PlatformLength(bytes.size());
        text.resize(MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), length));
    }
    return text;
}

std::string Encode(std::wstring_view text, UINT codePage) {
    std::string bytes;
    if (IsUtf16(codePage)) {
        for (const wchar_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit);
            bytes += codePage == kUtf16BE ? std::string{high, low} : std::string{low, high};
        }
    } else if (!text.empty()) {
        bytes.resize(4 * text.size());  // room for a unit in any code page
        bytes.resize(WideCharToMultiByte(codePage, 0, text.data(), PlatformLength(text.size()), bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, nullptr));
    }
    return bytes;
}
