#pragma once

// The game's configuration files, read and written a line at a time.
//
// Each operation opens its file and closes it again before it returns, so no
// file stays open between calls. A file is replaced whole: its new content
// is written beside it and then put in its place (see Replacement). None of them shows anything to
// the player: each says whether it failed and why, and the caller decides what the player hears.

#include "core/line_buffer.h"
#include "platform/file_service.h"
#include "platform/line_list.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

// Reads the file at `path` into `buffer` and appends its lines, trimmed of
// spaces, to the end of `list`. When the file cannot be read (missing, not
// readable, or empty) `buffer` keeps the lines of the last successful read,
// and those are appended instead; before any successful read that is none.
// The result tells whether the file itself was read.
FileStatus ReadConfigLines(FileOperations& files, LineBuffer& buffer, const std::string& path,
                           LineList& list);

// ReadConfigLines without the list: reads the file into `buffer`, or leaves
// `buffer` as it was when the file cannot be read.
FileStatus ReadConfigText(FileOperations& files, LineBuffer& buffer, const std::string& path);

// The exact bytes of the file at `path`. An empty file reads as a failure,
// like any other file with nothing to read.
Result<std::string> ReadWholeFile(FileOperations& files, const std::string& path);

// Writes a new file to replace the one at `path`: `firstLine` and each of
// `lines`, each followed by CR LF, flushed to the disk. The result is ready
// to be put in place; the file at `path` is not touched. On failure the new
// file is removed again. Where `path` is missing, the new file takes the
// permissions of `like` (see FileService::Replace).
Result<std::unique_ptr<Replacement>>
WriteReplacement(FileOperations& files, const std::string& path, const std::string& like,
                 std::string_view firstLine, std::span<const std::string_view> lines);

// Replaces the file at `path` with exactly `bytes` in one step: written
// beside it, flushed, put in place and the folder flushed; `like` as for
// WriteReplacement.
FileStatus ReplaceWholeFile(FileOperations& files, const std::string& path, const std::string& like,
                            std::string_view bytes);

} // namespace quorvel
