#include "tests/support/wine_prefixes.h"

#include "tests/support/temp_dir.h"

#include <chrono>

namespace quorvel::test {
namespace {

std::string UserRegText(bool withGame, std::size_t size) {
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n"
                       "\n#arch=win64\n\n[Software\\\\Wine] 1733650000\n\"Version\"=\"win10\"\n";
    if (withGame) {
        text += "\n[Software\\\\2015\\\\MOHAA] 1733650000\n#time=1db4969a8b1f5e2\n"
                "\"basepath\"=\"C:\\\\Games\\\\MOHAA\"\n";
    }
    // Keys such as a real prefix piles up: one per installed program or setting.
    for (std::size_t i = 0; text.size() < size; ++i) {
        text += "\n[Software\\\\Classes\\\\CLSID\\\\{" + std::to_string(100000 + i) +
                "-0000-0000-C000-000000000046}] 1733650000\n#time=1db4969a8b1f5e2\n"
                "@=\"Component " +
                std::to_string(i) + "\"\n\"ThreadingModel\"=\"Both\"\n\"Flags\"=dword:00000004\n";
    }
    return text;
}

} // namespace

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path, text);
}

void SetChanged(const std::filesystem::path& file, long long changed) {
    const std::chrono::sys_seconds when{std::chrono::seconds(changed)};
    std::filesystem::last_write_time(file, std::chrono::file_clock::from_sys(when));
}

void MakePrefix(const std::filesystem::path& prefix, bool withGame, long long changed,
                std::size_t size) {
    WriteFile(prefix / "user.reg", UserRegText(withGame, size));
    std::filesystem::create_directories(prefix / "drive_c");
    SetChanged(prefix / "user.reg", changed);
}

} // namespace quorvel::test
