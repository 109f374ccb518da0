// The order in which an installation puts its files on the disk, seen at
// the system's calls: for each file, the new file flushed, then renamed
// over the old one, then its folder flushed; nothing renamed before its
// flush.
//
// This test program has fsync, renameat and renameat2 of its own, in front of the C
// library's: while a test listens, they note each call with the paths its
// descriptors lead to, then hand it on.

#include "core/installer.h"
#include "tests/support/game_folder.h"
#include "tests/support/installation_runs.h"

#include <algorithm>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Call {
    std::string what; // "fsync" or "rename"
    std::string path; // the file or folder flushed, or the one renamed
    std::string to;
    bool operator==(const Call&) const = default;
};

std::vector<Call>* listening = nullptr;

std::string PathOf(int fd) {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
    return error ? std::string() : path.string();
}

std::string PathAt(int folder, const char* name) {
    return name[0] == '/' ? std::string(name) : PathOf(folder) + "/" + name;
}

template <typename Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void NoteRename(int fromFolder, const char* from, int toFolder, const char* to) {
    if (listening != nullptr) {
        listening->push_back({"rename", PathAt(fromFolder, from), PathAt(toFolder, to)});
    }
}

} // namespace

extern "C" int fsync(int fd) {
    if (listening != nullptr) {
        listening->push_back({"fsync", PathOf(fd), {}});
    }
    static const auto real = Real<int (*)(int)>("fsync");
    return real(fd);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept {
    NoteRename(fromFolder, from, toFolder, to);
    static const auto real = Real<int (*)(int, const char*, int, const char*)>("renameat");
    return real(fromFolder, from, toFolder, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned flags) noexcept {
    NoteRename(fromFolder, from, toFolder, to);
    static const auto real =
        Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return real(fromFolder, from, toFolder, to, flags);
}

namespace quorvel {
namespace {

// Where in `calls` the first call like `wanted` is, from `start` on.
std::size_t Find(const std::vector<Call>& calls, const Call& wanted, std::size_t start = 0) {
    const auto from = calls.begin() + static_cast<std::ptrdiff_t>(start);
    return static_cast<std::size_t>(std::find(from, calls.end(), wanted) - calls.begin());
}

TEST(DurableWrites, EachFileIsFlushedThenPutInPlaceThenItsFolderFlushed) {
    for (const bool later : {false, true}) {
        SCOPED_TRACE(later ? "a later installation" : "a first installation");
        test::GameFolder game;
        game.Write("custom.cfg", test::kLaterCustomCfg);
        if (later) {
            game.Write("newconfig.cfg", test::kLaterNewConfig);
        }
        std::vector<Call> calls;
        listening = &calls;
        test::ProgramRun run(game.registry, game.files);
        EXPECT_EQ(run.Install(), InstallationResult::Installed);
        listening = nullptr;

        const std::string folder = std::filesystem::canonical(game.Mainta()).string();
        for (const std::string name : {"newconfig.cfg", "custom.cfg"}) {
            SCOPED_TRACE(name);
            const std::string file = folder + "/" + name;
            const std::string fresh = file + ".quorvel-new";
            const std::size_t renamed = Find(calls, {"rename", fresh, file});
            ASSERT_LT(renamed, calls.size());
            // Flushed before anything else is renamed.
            std::size_t next = renamed + 1;
            while (next < calls.size() && calls[next].what != "rename") {
                ++next;
            }
            EXPECT_LT(Find(calls, {"fsync", folder, {}}, renamed), next);
        }
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].what == "rename") {
                EXPECT_LT(Find(calls, {"fsync", calls[i].path, {}}), i) << calls[i].path;
            }
        }
    }
}

} // namespace
} // namespace quorvel
