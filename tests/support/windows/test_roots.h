#pragma once

// The two places the Windows tests make their files in, both reached by
// drive-letter paths with backslashes: the temp folder (under Wine, drive C:
// of the prefix) and the folder of the test program itself (under Wine, drive
// Z:, which shows the Linux root).

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace quorvel::test {

enum class Root { TempFolder, ProgramFolder };

inline std::filesystem::path RootFolder(Root root) {
    if (root == Root::TempFolder) {
        return std::filesystem::temp_directory_path();
    }
    char module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    return std::filesystem::path(std::string(module, length)).parent_path();
}

// Names the cases of a test that runs in both places.
inline std::string RootTestName(const ::testing::TestParamInfo<Root>& param) {
    return param.param == Root::TempFolder ? "TempFolder" : "ProgramFolder";
}

} // namespace quorvel::test
