#pragma once
// The files under test, as Windows paths. The build passes them as Linux paths
// behind "Z:", the Wine drive that maps the Linux root.
#include <string>

namespace test_paths {

inline std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)); }

// The 32-bit release and the 64-bit exe; the other architecture's is empty
// when the build was configured without its path.
inline std::wstring I686Exe() { return Widen(KV_I686_EXE); }
inline std::wstring X64Exe() { return Widen(KV_X64_EXE); }
inline std::wstring Picgen() { return Widen(KV_PICGEN_EXE); }
inline std::wstring ArtFolder() { return Widen(KV_ART_DIR); }

}  // namespace test_paths
