#pragma once

// The text-file service: the only way the program touches its files.
//
// Paths are the program's own, Windows-style paths, such as
// C:\Games\MOHAA\mainta\custom.cfg. On Windows they are used as they stand; elsewhere the service
// maps them to the host's file system (see path_mapping.h). Text is bytes: the
// service never converts, adds or drops a character.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quorvel {

// The outcome of one file operation. A failure carries the system's reason.
struct FileStatus {
    bool ok = true;
    std::string reason;

    static FileStatus Success() { return {}; }
    static FileStatus Failure(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

// The modes of OpenTextFile, numbered as the program has always numbered them.
enum class OpenMode : int {
    // Positioned at the start of an existing file; a missing file is an error.
    Reading = 1,
    // The file is created when missing and emptied when it exists.
    Writing = 2,
    // Positioned at the end of the file, which is created empty when missing.
    Appending = 8,
};

// An open file. Every stream is closed exactly once: by Close, or by its
// destructor when Close was never called.
class TextStream {
public:
    virtual ~TextStream() = default;

    // The whole text from the current position to the end. Fails for a file
    // that holds nothing (reading past its end), as well as on read errors.
    virtual FileStatus ReadAll(std::string& text) = 0;

    // Writes exactly the bytes given; no line end is added.
    virtual FileStatus Write(std::string_view text) = 0;

    // Closes the stream; what was written has been handed to the system.
    virtual FileStatus Close() = 0;
};

enum class EntryKind { Missing, File, Folder, Other };

struct EntryInfo {
    EntryKind kind = EntryKind::Missing;
    std::uint64_t size = 0; // bytes, for a file
};

class FileService {
public:
    virtual ~FileService() = default;

    // Opens a stream. Folders are never created. On failure the result is null
    // and `status` holds the reason.
    virtual std::unique_ptr<TextStream> OpenTextFile(const std::string& path, OpenMode mode,
                                                     FileStatus& status) = 0;

    // What is at `path`, without opening or changing anything.
    virtual EntryInfo Inspect(const std::string& path) = 0;

    // Whether `path` could be opened for writing (created where missing)
    // right now. Nothing on disk is created, emptied or otherwise changed.
    virtual FileStatus CheckWritable(const std::string& path) = 0;

    // Whether the existing file at `path` could be opened and read right now.
    virtual FileStatus CheckReadable(const std::string& path) = 0;
};

} // namespace quorvel
