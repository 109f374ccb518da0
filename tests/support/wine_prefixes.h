#pragma once

// Wine prefixes made up on disk, as the prefix discovery tests and benchmark
// lay them out below a throwaway home folder.

#include <cstddef>
#include <filesystem>
#include <string>

namespace quorvel::test {

// Makes the folder `prefix` (and those above it) with a user.reg of a few of
// Wine's own keys, the game's key with its `basepath` when `withGame`, and
// filler keys up to about `size` bytes, changed at `changed` seconds after
// the epoch.
void MakePrefix(const std::filesystem::path& prefix, bool withGame, long long changed,
                std::size_t size = 0);

// Sets the time a file last changed, in seconds after the epoch.
void SetChanged(const std::filesystem::path& file, long long changed);

// Writes `text` to `path`, making the folders above it.
void WriteFile(const std::filesystem::path& path, const std::string& text);

} // namespace quorvel::test
