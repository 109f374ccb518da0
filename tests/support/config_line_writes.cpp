#include "tests/support/config_line_writes.h"

namespace quorvel {
namespace {

// Opens `path` in `mode`, writes `line` and CR LF in one write, and closes
// it. A stream that was opened is closed also when the write fails; the first
// failure is the one reported.
FileStatus WriteLine(FileService& files, const std::string& path, OpenMode mode,
                     std::string_view line) {
    auto stream = files.OpenTextFile(path, mode);
    if (!stream) {
        return stream.Status();
    }
    std::string text;
    text.reserve(line.size() + 2);
    text.append(line).append("\r\n");
    FileStatus written = (*stream)->Write(text);
    FileStatus closed = (*stream)->Close();
    return written ? closed : written;
}

} // namespace

FileStatus RewriteConfigFile(FileService& files, const std::string& path,
                             std::string_view firstLine) {
    return WriteLine(files, path, OpenMode::Writing, firstLine);
}

FileStatus AppendConfigLine(FileService& files, const std::string& path, std::string_view line) {
    return WriteLine(files, path, OpenMode::Appending, line);
}

} // namespace quorvel
