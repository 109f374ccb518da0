#include "tests/support/stream_io.h"

namespace quorvel::test {

std::string ReadThrough(FileService& files, const std::string& path) {
    FileStatus status;
    auto stream = files.OpenTextFile(path, OpenMode::Reading, status);
    if (!stream) {
        return "open: " + status.reason;
    }
    std::string text;
    status = stream->ReadAll(text);
    return status ? text : "read: " + status.reason;
}

FileStatus WriteThrough(FileService& files, const std::string& path, OpenMode mode,
                        std::string_view text) {
    FileStatus status;
    auto stream = files.OpenTextFile(path, mode, status);
    if (!stream) {
        return status;
    }
    const FileStatus written = stream->Write(text);
    const FileStatus closed = stream->Close();
    return written ? closed : written;
}

} // namespace quorvel::test
