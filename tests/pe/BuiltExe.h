#pragma once
// The two builds of KorvaneCFG.exe that the executable tests look at: the
// 32-bit release and its 64-bit twin. Either build's tests look at both.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/pe/TestPaths.h"

struct BuiltExe {
    const char* arch;
    std::wstring path;
    uint16_t machine;        // IMAGE_FILE_MACHINE_*
    uint16_t optionalMagic;  // 0x10B PE32, 0x20B PE32+
};

// Test failures name the build instead of dumping the struct's bytes.
inline void PrintTo(const BuiltExe& exe, std::ostream* out) { *out << exe.arch; }

inline std::vector<BuiltExe> BothBuilds() {
    return {{"i686", test_paths::I686Exe(), 0x14C, 0x10B}, {"x86_64", test_paths::X64Exe(), 0x8664, 0x20B}};
}

class EachBuild : public testing::TestWithParam<BuiltExe> {
protected:
    void SetUp() override {
        if (GetParam().path.empty())
            GTEST_SKIP() << "the build was configured without the path of the " << GetParam().arch << " exe";
    }
    const std::wstring& Exe() const { return GetParam().path; }
};

#define KV_INSTANTIATE_FOR_BOTH_BUILDS(Suite)                          \
    INSTANTIATE_TEST_SUITE_P(Builds, Suite, testing::ValuesIn(BothBuilds()), \
                             [](const testing::TestParamInfo<BuiltExe>& build) { return std::string(build.param.arch); })
