#pragma once
// The whole of an open file as bytes in memory, mapped rather than read into
// a buffer: the system has the file's pages at hand, while fresh memory for a
// copy of a large file costs more than everything else done with it.
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "framework/core/Handles.h"

class TFileView {
public:
    // The system's code of a failure, else 0. An empty file has no view.
    DWORD Map(HANDLE file) {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file, &size)) return GetLastError();
        if (size.QuadPart == 0) return 0;
        if (static_cast<ULONGLONG>(size.QuadPart) > SIZE_MAX) return ERROR_NOT_ENOUGH_MEMORY;
        const UniqueFile mapping(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (mapping) view_.reset(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
        if (!view_) return GetLastError();
        size_ = static_cast<size_t>(size.QuadPart);
        return 0;
    }
    std::string_view Bytes() const { return {static_cast<const char*>(view_.get()), size_}; }

private:
    UniqueView view_;
    size_t size_ = 0;
};
