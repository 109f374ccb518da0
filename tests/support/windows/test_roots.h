#pragma once

// The two places the Windows tests make their files in, both reached by
// drive-letter paths with backslashes: the temp folder (under Wine, drive C:
// of the prefix) and the folder of the test program itself (under Wine, drive
// Z:, which shows the Linux root).

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
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

// Makes folders of 40-letter names in `base` until the path is at least
// `length` characters long, and returns that path. The folders are made
// through the \\?\ prefix, past the classic limit of 260 characters.
inline std::string MakeLongFolder(std::string base, std::size_t length) {
    while (!base.empty() && (base.back() == '\\' || base.back() == '/')) {
        base.pop_back();
    }
    while (base.size() < length) {
        base += "\\" + std::string(40, 'd');
        const std::wstring wide = L"\\\\?\\" + std::wstring(base.begin(), base.end());
        if (!CreateDirectoryW(wide.c_str(), nullptr)) {
            throw std::runtime_error("cannot make " + base);
        }
    }
    return base;
}

// The same folder through another drive letter: under Wine, drive Z: shows
// the Linux root, and the folder's Linux path is asked of Wine itself.
// Empty outside Wine. `path` is ASCII.
inline std::string DriveZSpelling(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) {
        return {};
    }
    char* name = unixName(std::wstring(path.begin(), path.end()).c_str());
    if (name == nullptr) {
        return {};
    }
    std::string spelled = std::string("Z:") + name;
    HeapFree(GetProcessHeap(), 0, name);
    for (char& c : spelled) {
        c = c == '/' ? '\\' : c;
    }
    return spelled;
}

// Names the cases of a test that runs in both places.
inline std::string RootTestName(const ::testing::TestParamInfo<Root>& param) {
    return param.param == Root::TempFolder ? "TempFolder" : "ProgramFolder";
}

} // namespace quorvel::test
