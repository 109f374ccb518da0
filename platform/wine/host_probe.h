#pragma once

// Looking at the host's files while searching for Wine prefixes: nothing is
// ever written, nothing is waited for (a FIFO where a file should be is
// passed over), and a folder is listed one level deep only.

#include <cstddef>
#include <optional>
#include <string>
#include <sys/types.h>
#include <time.h>
#include <vector>

namespace quorvel::probe {

// No folder listed here holds more entries than this in any real home.
inline constexpr std::size_t kMaxListing = 4096;

// The bytes of a regular file of at most `limit` bytes, and the time it last
// changed. Anything else (missing, unreadable, a folder, a FIFO, a device, too
// big) gives false. The file is opened without blocking and checked after
// opening, so that nothing put in its place in between is read.
// `bytes` is filled in place, so that one buffer serves every file.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes,
                     timespec* changed = nullptr, uid_t* owner = nullptr);

// The path with every link resolved; nullopt when it is empty, missing, a
// link that leads nowhere or round in a loop.
std::optional<std::string> RealPath(const std::string& path);

bool IsFolder(const std::string& path);

// The names in a folder, sorted, without "." and ".."; empty when it cannot be
// read. Only this one level is listed, up to kMaxListing names.
std::vector<std::string> List(const std::string& folder);

// The newest change time of folder `path` and of the entries directly in it
// (not followed where they are links); nullopt when `path` is not a folder
// that can be opened. Opened without blocking, so a FIFO in its place does
// not stop the search.
std::optional<timespec> NewestIn(const std::string& path);

// Whether `a` is later than `b`.
bool Later(const timespec& a, const timespec& b);

} // namespace quorvel::probe
