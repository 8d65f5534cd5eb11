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

// DLLs that Windows always loads from its own folder, whatever lies beside
// the executable (the "known DLLs"), or, for the common controls, from the
// side-by-side assembly that the manifest names. A game folder holds many
// DLLs: one of any other name there would be loaded in place of the system's.
const std::set<std::string> kUnplantableDlls = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "MSVCRT.DLL",
                                                "COMCTL32.DLL"};

}  // namespace

TEST_P(PeHeaders, IsAWindowsGuiProgramOfItsArchitecture) {
    const PeFile pe(Exe());
    EXPECT_EQ(pe.Machine(), GetParam().machine);
    EXPECT_EQ(pe.OptionalMagic(), GetParam().optionalMagic);
    EXPECT_EQ(pe.Subsystem(), 2) << "not IMAGE_SUBSYSTEM_WINDOWS_GUI";
}

TEST_P(PeHeaders, ImportsOnlyDllsThatCannotBePlantedBesideIt) {
    const std::vector<std::string> dlls = PeFile(Exe()).ImportedDlls();
    std::set<std::string> names;
    for (const std::string& dll : dlls)
        names.insert(Upper(dll));
    EXPECT_TRUE(names.count("KERNEL32.DLL")) << "import directory not read";
    for (const std::string& name : names)
        EXPECT_TRUE(kUnplantableDlls.count(name)) << name << " is imported: load it from the system folder at run time, "
                                                     "or link it statically";
}

TEST_P(PeHeaders, IsHardened) {
    const PeFile pe(Exe());
    constexpr uint16_t kHighEntropy = 0x20, kDynamicBase = 0x40, kNxCompat = 0x100;
    EXPECT_TRUE(pe.DllCharacteristics() & kDynamicBase) << "no address space layout randomisation";
    EXPECT_GT(pe.RelocationSize(), 0u) << "no relocations: the image cannot move";
    EXPECT_TRUE(pe.DllCharacteristics() & kNxCompat) << "data may be executed";
    if (pe.OptionalMagic() == 0x20B) {
        EXPECT_TRUE(pe.DllCharacteristics() & kHighEntropy);
    }
}

// Wine maps an image whose sections lie in the file as in memory; any other it
// reads into memory whole, pictures and all, before the window can appear.
TEST_P(PeHeaders, SectionsLieInTheFileAsInMemory) { EXPECT_EQ(PeFile(Exe()).FileAlignment(), 4096u); }
