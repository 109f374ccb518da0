#pragma once

// Real files for the benchmarks: a game folder in a throwaway Wine prefix, and
// the file service exactly as the program makes it for that prefix.

#include "bench/bench_support.h"
#include "platform/file_service.h"
#include "tests/support/game_folder.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::bench {

// The program's own file service for the prefix of `game`, as the program
// makes it for the player's prefix.
std::unique_ptr<FileService> NativeFilesFor(const test::GameFolder& game);

// The install list of an installation answered `texture` and `model`: the
// base settings, the answers' lines and the end marker.
std::vector<std::string_view> InstallList(std::string_view texture, std::string_view model);

// Puts `bytes` into a new file at `path` (any file there before is removed
// first) and waits until they are on disk, as a player's files have long
// been. Writing over a file that was just written could otherwise wait for
// its write-back, which ext4 starts when a file emptied by opening it is
// closed.
void PutSettledFile(const std::filesystem::path& path, std::string_view bytes);

// One game folder for a whole benchmark program.
class BenchFolder {
public:
    static BenchFolder& Get();

    test::GameFolder& Game() { return game_; }
    FileService& Files() { return *files_; }

    // The program's path of a file in mainta, and the host path it maps to.
    std::string ProgramPath(const std::string& name) const;
    std::string HostPathForCalls(const std::string& name) const;

    // Writes `lines` lines of `make` into the file in mainta, the first time
    // only; returns the file's size.
    std::uint64_t Prepare(const std::string& name, std::size_t lines, LineMaker make);

private:
    BenchFolder();

    test::GameFolder game_;
    std::unique_ptr<FileService> files_;
    std::map<std::string, std::uint64_t> prepared_;
};

} // namespace quorvel::bench
