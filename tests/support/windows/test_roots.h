#pragma once

// The two places the Windows tests make their files in, both reached by
// drive-letter paths with backslashes: the temp folder (under Wine, drive C:
// of the prefix) and the folder of the test program itself (under Wine, drive
// Z:, which shows the Linux root).

#include "tests/support/temp_dir.h"

#include <algorithm>
#include <filesystem>
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

// The Linux path of a Windows path, asked of Wine itself; empty outside Wine.
inline std::string UnixPathOf(const std::filesystem::path& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (name == nullptr) {
        return {};
    }
    std::string text(name);
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// The same folder through another drive letter: under Wine, drive Z: shows
// the Linux root. Empty outside Wine.
inline std::string DriveZSpelling(const std::string& path) {
    std::string spelled = UnixPathOf(path);
    if (spelled.empty()) {
        return {};
    }
    std::replace(spelled.begin(), spelled.end(), '/', '\\');
    return "Z:" + spelled;
}

} // namespace quorvel::test
