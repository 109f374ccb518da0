#pragma once

// Real files for the benchmarks: a game folder in a throwaway Wine prefix, and
// the file service exactly as the program makes it for that prefix.

#include "bench_support.h"
#include "file_service.h"
#include "game_folder.h"

#include <map>
#include <memory>
#include <string>

namespace quorvel::bench {

// The program's own file service for the prefix of `game`, as the program
// makes it for the player's prefix.
std::unique_ptr<FileService> NativeFilesFor(const testing::GameFolder& game);

// One game folder for a whole benchmark program.
class BenchFolder {
public:
    static BenchFolder& Get();

    testing::GameFolder& Game() { return game_; }
    FileService& Files() { return *files_; }

    // The program's path of a file in mainta, and the host path it maps to.
    std::string ProgramPath(const std::string& name) const;
    std::string HostPath(const std::string& name) const;

    // Writes `lines` lines of `make` into the file in mainta, the first time
    // only; returns the file's size.
    std::uint64_t Prepare(const std::string& name, std::size_t lines, LineMaker make);

private:
    BenchFolder();

    testing::GameFolder game_;
    std::unique_ptr<FileService> files_;
    std::map<std::string, std::uint64_t> prepared_;
};

} // namespace quorvel::bench
