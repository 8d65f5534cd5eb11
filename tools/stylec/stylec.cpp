// stylec: compiles a readable visual style (.style) into the compressed form
// the executable carries as a resource (.vsf). Both formats are described in
// resources/style/README.md.
//
//   stylec <source.style> <output.vsf>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/theme/Style.h"
#include "tools/stylec/StyleWriter.h"

namespace {

struct TFileCloser {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using UniqueFile = std::unique_ptr<void, TFileCloser>;

UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD disposition) {
    HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    return UniqueFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

std::string ReadWholeFile(const std::wstring& path) {
    UniqueFile file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) Raise(EFOpenError(path, GetLastError()));
    std::string text;
    char buffer[8192];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

void WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    UniqueFile file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file) Raise(EFCreateError(path, GetLastError()));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        Raise(EWriteError());
}

std::vector<uint8_t> Compile(const std::wstring& sourcePath) {
    const TStyleDocument parsed = StyleWriter::ParseSource(ReadWholeFile(sourcePath));
    // Checked here as the executable will check it, so that a broken source
    // never becomes a resource.
    TCustomStyle::FromDocument(parsed);
    const std::vector<uint8_t> compiled = StyleWriter::Encode(parsed);
    TCustomStyle::Load(compiled.data(), compiled.size());
    return compiled;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: stylec <source.style> <output.vsf>\n");
        return 2;
    }
    try {
        const std::vector<uint8_t> compiled = Compile(argv[1]);
        WriteWholeFile(argv[2], compiled);
        std::fwprintf(stdout, L"stylec: %ls: %u bytes\n", argv[2],
                      static_cast<unsigned>(compiled.size()));
        return 0;
    } catch (const Exception& e) {
        std::fwprintf(stderr, L"stylec: %ls: %ls\n", argv[1], e.Message().c_str());
        return 1;
    }
}
