// The executable's PE headers and the DLLs it needs at load time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "tests/pe/BuiltExe.h"
#include "tests/pe/PeFile.h"

namespace {

class PeHeaders : public EachBuild {};
KV_INSTANTIATE_FOR_BOTH_BUILDS(PeHeaders);

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// DLLs that every supported Windows ships and that may be imported directly.
const std::set<std::string> kSystemDlls = {
    "KERNEL32.DLL", "USER32.DLL", "GDI32.DLL",   "COMCTL32.DLL", "COMDLG32.DLL", "ADVAPI32.DLL", "SHELL32.DLL",
    "OLE32.DLL",    "OLEAUT32.DLL", "MSIMG32.DLL", "MSVCRT.DLL",   "SHLWAPI.DLL",  "VERSION.DLL",
};

// System DLLs that exist only from some Windows version on or may be absent, so
// they are looked up at run time instead.
const std::set<std::string> kRunTimeOnlyDlls = {"UXTHEME.DLL", "DWMAPI.DLL"};

}  // namespace

TEST_P(PeHeaders, IsAWindowsGuiProgramOfItsArchitecture) {
    const PeFile pe(Exe());
    EXPECT_EQ(pe.Machine(), GetParam().machine);
    EXPECT_EQ(pe.OptionalMagic(), GetParam().optionalMagic);
    EXPECT_EQ(pe.Subsystem(), 2) << "not IMAGE_SUBSYSTEM_WINDOWS_GUI";
}

TEST_P(PeHeaders, ImportsOnlyDllsThatWindowsShips) {
    const std::vector<std::string> dlls = PeFile(Exe()).ImportedDlls();
    std::set<std::string> names;
    for (const std::string& dll : dlls)
        names.insert(Upper(dll));
    EXPECT_TRUE(names.count("KERNEL32.DLL")) << "import directory not read";
    for (const std::string& name : names) {
        EXPECT_FALSE(kRunTimeOnlyDlls.count(name)) << name << " must be loaded at run time, not imported";
        EXPECT_TRUE(kSystemDlls.count(name) || kRunTimeOnlyDlls.count(name))
            << name << " is not a DLL that Windows ships (link the runtime statically)";
    }
}
