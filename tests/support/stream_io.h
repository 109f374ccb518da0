#pragma once

// A whole file read or written through a file service in one call, the way
// the tests of the file services look at them.

#include "platform/file_service.h"

#include <string>
#include <string_view>

namespace quorvel::test {

// The whole text of a file, or "open: " or "read: " and the reason it could
// not be read.
std::string ReadThrough(FileService& files, const std::string& path);

// Opens the file in `mode`, writes `text` and closes it; the first failure.
FileStatus WriteThrough(FileService& files, const std::string& path, OpenMode mode,
                        std::string_view text);

} // namespace quorvel::test
