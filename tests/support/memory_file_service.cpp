#include "tests/support/memory_file_service.h"

namespace quorvel::test {
namespace {

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Writes are held by the stream and reach the file when it closes, so that a
// failing close loses them, as a full disk can.
class MemoryStream : public TextStream {
public:
    MemoryStream(MemoryFileService& service, std::string path, std::string content)
        : service_(service), path_(std::move(path)), content_(std::move(content)) {}

    ~MemoryStream() override {
        if (!closed_) {
            service_.Commit(path_, pending_);
        }
    }

    FileStatus ReadAll(std::string& text) override {
        if (service_.Fails("read")) {
            return FileStatus::Failure("injected read failure");
        }
        if (content_.empty()) {
            return FileStatus::Failure("the file is empty");
        }
        text = std::move(content_);
        content_.clear();
        return {};
    }

    FileStatus Write(std::string_view text) override {
        if (service_.Fails("write")) {
            return FileStatus::Failure("injected write failure");
        }
        pending_.append(text);
        return {};
    }

    FileStatus Close() override {
        closed_ = true;
        if (service_.Fails("close")) {
            return FileStatus::Failure("injected close failure");
        }
        service_.Commit(path_, pending_);
        return {};
    }

private:
    MemoryFileService& service_;
    std::string path_;
    std::string content_;
    std::string pending_;
    bool closed_ = false;
};

} // namespace

std::optional<std::string> MemoryFileService::File(const std::string& path) const {
    const auto it = files_.find(path);
    if (it == files_.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool MemoryFileService::Fails(std::string what) {
    ++operations_;
    log_.push_back(std::move(what));
    return operations_ == failAt_ || (failFrom_ != 0 && operations_ >= failFrom_);
}

bool MemoryFileService::FolderExists(const std::string& path) const {
    return path.empty() || folders_.count(path) != 0;
}

std::unique_ptr<TextStream> MemoryFileService::OpenTextFile(const std::string& path, OpenMode mode,
                                                            FileStatus& status) {
    if (Fails("open " + std::to_string(static_cast<int>(mode)) + " " + path)) {
        status = FileStatus::Failure("injected open failure");
        return nullptr;
    }
    if (!FolderExists(ParentOf(path)) || folders_.count(path) != 0) {
        status = FileStatus::Failure("No such file or directory");
        return nullptr;
    }
    const auto it = files_.find(path);
    if (mode == OpenMode::Reading) {
        if (it == files_.end()) {
            status = FileStatus::Failure("No such file or directory");
            return nullptr;
        }
        status = {};
        return std::make_unique<MemoryStream>(*this, path, it->second);
    }
    if (mode == OpenMode::Writing || it == files_.end()) {
        files_[path].clear();
    }
    status = {};
    return std::make_unique<MemoryStream>(*this, path, std::string());
}

EntryInfo MemoryFileService::Inspect(const std::string& path) {
    if (folders_.count(path) != 0) {
        return {EntryKind::Folder, 0};
    }
    if (const auto it = files_.find(path); it != files_.end()) {
        return {EntryKind::File, it->second.size()};
    }
    return {};
}

FileStatus MemoryFileService::CheckWritable(const std::string& path) {
    if (Fails("check-write " + path)) {
        return FileStatus::Failure("injected check failure");
    }
    if (folders_.count(path) != 0) {
        return FileStatus::Failure("Is a directory");
    }
    if (!FolderExists(ParentOf(path))) {
        return FileStatus::Failure("No such file or directory");
    }
    return {};
}

FileStatus MemoryFileService::CheckReadable(const std::string& path) {
    if (Fails("check-read " + path)) {
        return FileStatus::Failure("injected check failure");
    }
    if (folders_.count(path) != 0) {
        return FileStatus::Failure("Is a directory");
    }
    if (files_.count(path) == 0) {
        return FileStatus::Failure("No such file or directory");
    }
    return {};
}

} // namespace quorvel::test
