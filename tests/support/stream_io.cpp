#include "tests/support/stream_io.h"

namespace quorvel::test {

std::string ReadThrough(FileService& files, const std::string& path) {
    auto stream = files.OpenTextFile(path, OpenMode::Reading);
    if (!stream) {
        return "open: " + stream.Status().reason;
    }
    Result<std::string> text = (*stream)->ReadAll();
    return text ? *text : "read: " + text.Status().reason;
}

FileStatus WriteThrough(FileService& files, const std::string& path, OpenMode mode,
                        std::string_view text) {
    auto stream = files.OpenTextFile(path, mode);
    if (!stream) {
        return stream.Status();
    }
    const FileStatus written = (*stream)->Write(text);
    const FileStatus closed = (*stream)->Close();
    return written ? closed : written;
}

} // namespace quorvel::test
