#include "tests/pe/PeFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

PeFile::PeFile(const std::filesystem::path& path) : bytes_(ReadWholeFile(path)) {
    if (U16(0) != 0x5A4D)
        throw std::runtime_error("no MZ header");
    const size_t pe = U32(0x3C);
    if (U32(pe) != 0x00004550)
        throw std::runtime_error("no PE signature");
    const size_t coff = pe + 4;
    machine_ = U16(coff);
    const uint16_t sectionCount = U16(coff + 2);
    const uint16_t optionalSize = U16(coff + 16);
    const size_t optional = coff + 20;
    magic_ = U16(optional);
    subsystem_ = U16(optional + 68);
    dllCharacteristics_ = U16(optional + 70);
    fileAlignment_ = U32(optional + 36);

    // The data directories follow the fields whose width differs between PE32
    // (0x10B) and PE32+ (0x20B).
    const size_t directories = optional + (magic_ == 0x20B ? 112 : 96);
    const uint32_t directoryCount = U32(directories - 4);
    if (directoryCount > 1)
        importRva_ = U32(directories + 8);
    if (directoryCount > 5)
        relocationSize_ = U32(directories + 5 * 8 + 4);

    const size_t table = optional + optionalSize;
    for (size_t i = 0; i < sectionCount; ++i) {
        const size_t s = table + i * 40;
        sections_.push_back({U32(s + 12), U32(s + 8), U32(s + 20), U32(s + 16)});
    }
}

std::vector<std::string> PeFile::ImportedDlls() const {
    std::vector<std::string> names;
    if (importRva_ == 0)
        return names;
    // IMAGE_IMPORT_DESCRIPTOR: 20 bytes, Name at +12, FirstThunk at +16; a zero entry ends the list.
    for (size_t entry = FileOffset(importRva_);; entry += 20) {
        const uint32_t nameRva = U32(entry + 12);
        if (nameRva == 0 && U32(entry + 16) == 0)
            break;
        names.push_back(CString(FileOffset(nameRva)));
    }
    return names;
}

std::vector<std::string> PeFile::ImportedFunctions() const {
    std::vector<std::string> functions;
    if (importRva_ == 0)
        return functions;
    const bool pe32Plus = magic_ == 0x20B;
    const size_t thunkSize = pe32Plus ? 8 : 4;
    const uint64_t byOrdinal = pe32Plus ? 1ull << 63 : 1ull << 31;
    for (size_t entry = FileOffset(importRva_);; entry += 20) {
        const uint32_t nameRva = U32(entry + 12);
        if (nameRva == 0 && U32(entry + 16) == 0)
            break;
        std::string dll = CString(FileOffset(nameRva));
        std::transform(dll.begin(), dll.end(), dll.begin(), [](unsigned char c) { return char(std::toupper(c)); });
        // The lookup table (OriginalFirstThunk), else the address table, which
        // holds the same entries in a file that is not bound.
        const uint32_t table = U32(entry) != 0 ? U32(entry) : U32(entry + 16);
        for (size_t thunk = FileOffset(table);; thunk += thunkSize) {
            const uint64_t value = pe32Plus ? U64(thunk) : U32(thunk);
            if (value == 0)
                break;
            if (value & byOrdinal)
                functions.push_back(dll + "!#" + std::to_string(value & 0xFFFF));
            else  // IMAGE_IMPORT_BY_NAME: a 16-bit hint, then the name
                functions.push_back(dll + "!" + CString(FileOffset(uint32_t(value)) + 2));
        }
    }
    return functions;
}

uint16_t PeFile::U16(size_t offset) const {
    if (offset + 2 > bytes_.size())
        throw std::runtime_error("read past the end of the file");
    return uint16_t(bytes_[offset] | bytes_[offset + 1] << 8);
}

uint32_t PeFile::U32(size_t offset) const { return U16(offset) | uint32_t(U16(offset + 2)) << 16; }

uint64_t PeFile::U64(size_t offset) const { return U32(offset) | uint64_t(U32(offset + 4)) << 32; }

size_t PeFile::FileOffset(uint32_t rva) const {
    for (const Section& s : sections_) {
        const uint32_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva < s.virtualAddress + extent)
            return size_t(s.rawOffset) + (rva - s.virtualAddress);
    }
    throw std::runtime_error("address outside every section");
}

std::string PeFile::CString(size_t offset) const {
    std::string text;
    for (; offset < bytes_.size() && bytes_[offset] != 0; ++offset)
        text += char(bytes_[offset]);
    if (offset >= bytes_.size())
        throw std::runtime_error("unterminated name");
    return text;
}
