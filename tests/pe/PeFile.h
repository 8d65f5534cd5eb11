#pragma once
// A minimal reader for the headers and the import directory of a PE file, so
// the tests can look at an executable of either architecture as plain bytes.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);

class PeFile {
public:
    // Throws std::runtime_error when the file is missing or malformed.
    explicit PeFile(const std::filesystem::path& path);

    uint16_t Machine() const { return machine_; }
    uint16_t OptionalMagic() const { return magic_; }
    uint16_t Subsystem() const { return subsystem_; }
    uint16_t DllCharacteristics() const { return dllCharacteristics_; }
    uint32_t FileAlignment() const { return fileAlignment_; }
    uint32_t RelocationSize() const { return relocationSize_; }

    // Names of the DLLs in the import directory, as stored (case kept).
    std::vector<std::string> ImportedDlls() const;
    // Every function imported, as "DLL!name" or "DLL!#ordinal", the DLL's
    // name in upper case, in the order of the import directory.
    std::vector<std::string> ImportedFunctions() const;

private:
    struct Section {
        uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
    };

    uint16_t U16(size_t offset) const;
    uint32_t U32(size_t offset) const;
    uint64_t U64(size_t offset) const;
    size_t FileOffset(uint32_t rva) const;
    std::string CString(size_t offset) const;

    std::vector<uint8_t> bytes_;
    uint16_t machine_ = 0;
    uint16_t magic_ = 0;
    uint16_t subsystem_ = 0;
    uint16_t dllCharacteristics_ = 0;
    uint32_t fileAlignment_ = 0;
    uint32_t relocationSize_ = 0;
    uint32_t importRva_ = 0;
    std::vector<Section> sections_;
};
