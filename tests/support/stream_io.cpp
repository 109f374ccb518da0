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

Result<std::unique_ptr<FolderLock>> LockThrough(FileService& files, const std::string& path) {
    auto folder = files.OpenFolder(path);
    return folder ? (*folder)->Lock() : folder.Status();
}

} // namespace quorvel::test
