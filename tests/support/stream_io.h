#pragma once

// A whole file read, and a folder locked, through a file service in one
// call, the way the tests of the file services use them.

#include "platform/file_service.h"

#include <string>

namespace quorvel::test {

// The whole text of a file, or "open: " or "read: " and the reason it could
// not be read.
std::string ReadThrough(FileService& files, const std::string& path);

// The lock of the folder at `path`, taken as an installation takes it.
Result<std::unique_ptr<FolderLock>> LockThrough(FileService& files, const std::string& path);

} // namespace quorvel::test
