// Any bytes as the text the settings store or the player gives for the game
// folder. Building the folder keeps a prefix of the text that ends at the
// first "aa"; the two files' paths are the trimmed folder and their names.
// Mapping any path into a small Wine prefix does not crash, puts a drive's
// path below that drive's folder with every separator it was written with,
// and gives the same host path when repeated or applied to its own result.

#include "core/installer.h"
#include "core/line_buffer.h"
#include "fuzz/fuzz_check.h"
#include "platform/posix/path_mapping.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

bool EndsInAa(std::string_view text) {
    if (text.size() < 2) {
        return false;
    }
    const auto lower = [](char c) { return c == 'A' ? 'a' : c; };
    return lower(text[text.size() - 2]) == 'a' && lower(text[text.size() - 1]) == 'a';
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Two prefixes made once: one as winecfg leaves it, with a dosdevices link
// for drive C:, and one that only has drive_c.
struct Prefixes {
    Prefixes() {
        char pattern[] = "/tmp/quorvel-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        FUZZ_CHECK(made != nullptr);
        root = made;
        for (const char* name : {"linked", "plain"}) {
            const fs::path prefix = root / name;
            for (const char* folder :
                 {"drive_c/Games/MOHAA/mainta",
                  "drive_c/Jeux/M\xC3\xA9"
                  "daille d'honneur/MOHAA/mainta",
                  "drive_c/games/mohaa", "drive_c/\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B"}) {
                fs::create_directories(prefix / folder);
            }
            std::ofstream(prefix / "drive_c/Games/MOHAA/mainta/custom.cfg") << "seta x 1\r\n";
        }
        fs::create_directories(root / "linked/dosdevices");
        fs::create_directory_symlink("../drive_c", root / "linked/dosdevices/c:");
    }
    ~Prefixes() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    fs::path root;
};

Prefixes* prefixes = nullptr;

void CheckMapping(const std::string& prefix, const std::string& path) {
    const quorvel::WinePathMapper mapper(prefix);
    const std::string host = mapper.ToHostPath(path);
    FUZZ_CHECK(host.find('\\') == std::string::npos);
    FUZZ_CHECK(mapper.ToHostPath(path) == host);

    // A path on a drive stays below that drive's folder, with as many
    // separators as it was written with.
    char drive = 0;
    std::string_view rest(path);
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        drive = static_cast<char>(path[0] | 0x20);
        rest.remove_prefix(2);
    } else if (!path.empty() && path[0] == '\\') {
        drive = 'c';
    } else {
        return;
    }
    const std::string linked = prefix + "/dosdevices/" + drive + ':';
    const std::string plain = prefix + "/drive_c";
    std::string_view below(host);
    if (below.substr(0, linked.size()) == linked) {
        below.remove_prefix(linked.size());
    } else {
        FUZZ_CHECK(drive == 'c' && below.substr(0, plain.size()) == plain);
        below.remove_prefix(plain.size());
    }
    const auto separators = std::count_if(rest.begin(), rest.end(), IsSeparator);
    const bool added = !rest.empty() && !IsSeparator(rest[0]);
    FUZZ_CHECK(std::count(below.begin(), below.end(), '/') == separators + (added ? 1 : 0));
    // Mapping a mapped path again changes nothing.
    FUZZ_CHECK(mapper.ToHostPath(host) == host);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prefixes = new Prefixes;
    std::atexit([] { delete prefixes; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    const std::string text(reinterpret_cast<const char*>(bytes), length);

    const std::string folder = quorvel::BuildGameFolder(text);
    FUZZ_CHECK(text.compare(0, folder.size(), folder) == 0);
    if (folder.size() < text.size()) {
        FUZZ_CHECK(EndsInAa(folder));
    }
    for (std::size_t end = 2; end < folder.size(); ++end) {
        FUZZ_CHECK(!EndsInAa(std::string_view(folder).substr(0, end)));
    }

    const std::string trimmed(quorvel::TrimSpaces(folder));
    const std::string custom = quorvel::CustomCfgPathFor(folder);
    const std::string other = quorvel::NewConfigPathFor(folder);
    FUZZ_CHECK(custom == trimmed + "\\mainta\\custom.cfg");
    FUZZ_CHECK(other == trimmed + "\\mainta\\newconfig.cfg");

    for (const char* name : {"linked", "plain"}) {
        const std::string prefix = (prefixes->root / name).string();
        CheckMapping(prefix, text);
        CheckMapping(prefix, custom);
    }
    return 0;
}
