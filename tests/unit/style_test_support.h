#pragma once
// Helpers shared by the style tests: repository files and style documents.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/theme/Style.h"
#include "framework/theme/StyleFormat.h"
#include "tools/stylec/StyleWriter.h"

namespace style_test {

// A file of the repository, found from this header's own path as the
// compiler saw it. Under Wine that is a Unix path, which Wine translates.
inline std::wstring RepoFile(const std::string& relative) {
    std::string here = __FILE__;
    std::string root = here.substr(0, here.rfind("tests"));
    std::string path = root + relative;
    using ToDos = char* (*)(const char*);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "wine_get_dos_file_name")));
    if (!path.empty() && path[0] == '/' && toDos) {
        wchar_t* dos = reinterpret_cast<wchar_t*>(toDos(path.c_str()));
        if (dos) {
            std::wstring result = dos;
            HeapFree(GetProcessHeap(), 0, dos);
            return result;
        }
    }
    return std::wstring(path.begin(), path.end());
}

inline std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string ReadText(const std::wstring& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// A complete style, with the entries of the shipped source and every colour
// distinct, so that a colour landing in the wrong member shows: colour n
// (counting from 1) is RGB(n, n + 100, 200 - n), metric n is 10 + n.
inline TStyleDocument SampleDocument(const std::string& name = "Sample") {
    TStyleDocument document =
        StyleWriter::ParseSource(ReadText(RepoFile("resources/style/carbon.style")));
    document.Name = name;
    uint8_t n = 1;
    for (TStyleColorEntry& c : document.Colors) c = {c.Name, n, static_cast<uint8_t>(n + 100), static_cast<uint8_t>(200 - n)}, ++n;
    int32_t m = 1;
    for (TStyleMetricEntry& metric : document.Metrics) metric.Value = 10 + m++;
    return document;
}

inline std::vector<uint8_t> SampleStyleBytes(const std::string& name = "Sample") {
    return StyleWriter::Encode(SampleDocument(name));
}

}  // namespace style_test
