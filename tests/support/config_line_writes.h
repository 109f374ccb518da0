#pragma once

// Writing a configuration file a line at a time, each line with an open, a
// write and a close of its own, through the file service. The program itself
// writes a file whole beside the old one; tests use these to lay out files
// and to exercise the service's writing and appending modes.

#include "platform/file_service.h"

#include <string>
#include <string_view>

namespace quorvel {

// Creates or empties the file at `path` and writes `firstLine` and CR LF.
FileStatus RewriteConfigFile(FileService& files, const std::string& path,
                             std::string_view firstLine);

// Appends `line` and CR LF to the file at `path`, creating it when missing.
FileStatus AppendConfigLine(FileService& files, const std::string& path, std::string_view line);

} // namespace quorvel
