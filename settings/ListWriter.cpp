#include "settings/ListWriter.h"

#include "framework/errors/Exceptions.h"
#include "settings/AnsiCodePage.h"
#include "settings/CodePageText.h"
#include "settings/ReplacementFile.h"

namespace {
std::string EncodeLines(const std::vector<std::wstring>& lines, UINT codePage) {
    std::wstring text;
    for (const std::wstring& line : lines) {
        text += line;
        text += L"\r\n";
    }
    std::string bytes = codePage == CP_UTF8 ? "\xEF\xBB\xBF" : "";
    AppendEncoded(text, codePage, bytes);
    return bytes;
}
}  // namespace

void WriteAllLines(const std::wstring& path, const std::vector<std::wstring>& lines) {
    const std::string bytes = EncodeLines(lines, AnsiCodePage());
    TReplacementFile file(path);
    if (const DWORD error = file.Create(FILE_ATTRIBUTE_NORMAL)) Raise(EFCreateError(path, error));
    if (file.Write(bytes) != 0 || file.FlushAndClose() != 0) Raise(EWriteError());
    if (const DWORD error = file.MoveIntoPlace(false)) Raise(EFCreateError(path, error));
}
