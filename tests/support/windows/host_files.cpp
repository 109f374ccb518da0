#include "tests/support/host_files.h"

#include "platform/ascii.h"

#include <algorithm>
#include <filesystem>
#include <windows.h>

namespace quorvel::test {

bool HeldOpen(const std::string& path) {
    const HANDLE alone = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (alone == INVALID_HANDLE_VALUE) {
        return true;
    }
    CloseHandle(alone);
    return false;
}

std::string OtherSpelling(const std::string& folder) {
    std::string upper = folder;
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    return upper + "\\";
}

void MakeSecondName(const std::string& name, const std::string& existing) {
    std::filesystem::create_hard_link(existing, name);
}

} // namespace quorvel::test
