#include "platform/host_file_common.h"

#include "platform/host_file_service.h"

namespace quorvel::host_common {

std::string ParentFolder(const std::string& path, std::string_view separators) {
    const std::size_t cut = path.find_last_of(separators);
    if (cut == std::string::npos) {
        return ".";
    }
    return path.substr(0, cut == 0 ? 1 : cut);
}

Result<std::string> HostStream::ReadAll() {
    if (!open_) {
        return FileStatus::Failure(host_failure::kClosed);
    }
    Result<std::string> text = ReadRest();
    if (text && text->empty()) {
        return FileStatus::Empty();
    }
    return text;
}

FileStatus HostStream::Close() {
    if (!open_) {
        return FileStatus::Failure(host_failure::kClosed);
    }
    open_ = false;
    return CloseOpen();
}

FileStatus HostReplacement::Write(std::string_view text) {
    return open_ ? WriteOpen(text) : FileStatus::Failure(host_failure::kClosed);
}

FileStatus HostReplacement::Finish() {
    if (!open_) {
        return FileStatus::Failure(host_failure::kClosed);
    }
    open_ = false;
    FileStatus status = FlushAndClose();
    finished_ = status.ok;
    return status;
}

// Never before the new file is flushed: a power cut could leave the name
// with nothing in it.
FileStatus HostReplacement::PutInPlace() {
    if (!finished_ || removed_ || inPlace_) {
        return FileStatus::Failure(host_failure::kClosed);
    }
    FileStatus status = MoveInPlace();
    inPlace_ = status.ok;
    return status;
}

FileStatus HostReplacement::Discard() {
    if (open_) {
        open_ = false;
        CloseUnflushed();
    }
    if (inPlace_ || removed_) {
        return {};
    }
    FileStatus status = RemoveNew();
    removed_ = status.ok;
    return status;
}

void HostReplacement::DiscardUnlessInPlace() {
    if (!inPlace_) {
        (void)Discard();
    }
}

} // namespace quorvel::host_common
