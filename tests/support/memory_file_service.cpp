#include "tests/support/memory_file_service.h"

#include "platform/folder_by_path.h"

#include <cstdint>
#include <utility>

namespace quorvel::test {
namespace {

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A file opened for reading: its content as it was when opened.
class MemoryStream : public TextStream {
public:
    MemoryStream(MemoryFileService& service, std::string content)
        : service_(service), content_(std::move(content)) {}

    Result<std::string> ReadAll() override {
        if (FileStatus step = service_.Step("read"); !step) {
            return step;
        }
        if (content_.empty()) {
            return FileStatus::Empty();
        }
        return std::exchange(content_, std::string());
    }
    FileStatus Close() override { return service_.Step("close"); }

private:
    MemoryFileService& service_;
    std::string content_;
};

// A new file under the name `path` + kReplacementSuffix. Its data reaches
// the disk at Finish, its name with the folder's flush.
class MemoryReplacement : public Replacement {
public:
    MemoryReplacement(MemoryFileService& service, std::string path, MemoryFileService::NodePtr node)
        : service_(service), path_(std::move(path)), node_(std::move(node)) {}

    // Removing a new file that was neither put in place nor discarded may
    // fail too, as on a disk that went away.
    ~MemoryReplacement() override { static_cast<void>(Discard()); }

    FileStatus Write(std::string_view text) override {
        return service_.Step("write new " + path_, [&] { node_->data.append(text); });
    }
    FileStatus Finish() override {
        return service_.Step("flush new " + path_, [&] { node_->durable = node_->data; });
    }
    FileStatus PutInPlace() override {
        return service_.Step("rename " + path_, [&] {
            service_.Rename(NewName(), path_);
            inPlace_ = true;
        });
    }
    FileStatus FlushFolder() override {
        return service_.Step("flush folder of " + path_, [&] { service_.FlushFolderOf(path_); });
    }
    FileStatus Discard() override {
        if (inPlace_ || removed_) {
            return {};
        }
        return service_.Step("remove new " + path_, [&] {
            service_.Unlink(NewName());
            removed_ = true;
        });
    }

private:
    std::string NewName() const { return path_ + std::string(kReplacementSuffix); }

    MemoryFileService& service_;
    std::string path_;
    MemoryFileService::NodePtr node_;
    bool inPlace_ = false;
    bool removed_ = false;
};

// A held folder whose operations are the service's own, by path. Its lock
// excludes nothing: two installations at once are tested on real files.
class MemoryFolder : public FolderByPath {
public:
    MemoryFolder(MemoryFileService& service, std::string path)
        : FolderByPath(service), service_(service), path_(std::move(path)) {}

    FileIdentity Identity() const override { return {2, std::hash<std::string>()(path_)}; }
    Result<std::unique_ptr<FolderLock>> Lock() override {
        if (FileStatus step = service_.Step("lock " + path_); !step) {
            return step;
        }
        return std::make_unique<FolderLock>();
    }

private:
    MemoryFileService& service_;
    std::string path_;
};

} // namespace

void MemoryFileService::SetFile(const std::string& path, std::string content) {
    auto node = std::make_shared<Node>(Node{content, content});
    names_[path] = node;
    durable_[path] = node;
}

std::optional<std::string> MemoryFileService::File(const std::string& path) const {
    const auto it = names_.find(path);
    if (it == names_.end()) {
        return std::nullopt;
    }
    return it->second->data;
}

std::map<std::string, std::string> MemoryFileService::Files() const {
    std::map<std::string, std::string> files;
    for (const auto& [path, node] : names_) {
        files[path] = node->data;
    }
    return files;
}

void MemoryFileService::PowerCut() {
    names_ = durable_;
    for (const auto& [path, node] : names_) {
        node->data = node->durable;
    }
    failAt_ = 0;
    failFrom_ = 0;
}

void MemoryFileService::Rename(const std::string& from, const std::string& to) {
    const auto it = names_.find(from);
    if (it != names_.end()) {
        names_[to] = it->second;
        names_.erase(from);
    }
}

void MemoryFileService::FlushFolderOf(const std::string& path) {
    const std::string folder = ParentOf(path);
    std::erase_if(durable_, [&](const auto& entry) { return ParentOf(entry.first) == folder; });
    for (const auto& [name, node] : names_) {
        if (ParentOf(name) == folder) {
            durable_[name] = node;
        }
    }
}

FileStatus MemoryFileService::Step(std::string what, const std::function<void()>& then) {
    ++operations_;
    log_.push_back(what);
    if (operations_ == failAt_ || (failFrom_ != 0 && operations_ >= failFrom_)) {
        return FileStatus::Failure("injected failure: " + what);
    }
    if (then) {
        then();
    }
    return {};
}

bool MemoryFileService::FolderExists(const std::string& path) const {
    return path.empty() || folders_.count(path) != 0;
}

Result<std::unique_ptr<TextStream>> MemoryFileService::OpenTextFile(const std::string& path,
                                                                    OpenMode mode) {
    if (FileStatus step = Step("open " + path); !step) {
        return step;
    }
    const auto it = names_.find(path);
    if (mode != OpenMode::Reading || it == names_.end()) {
        return FileStatus::Failure("No such file or directory");
    }
    return std::make_unique<MemoryStream>(*this, it->second->data);
}

EntryInfo MemoryFileService::Inspect(const std::string& path) {
    if (folders_.count(path) != 0) {
        return {EntryKind::Folder, 0};
    }
    if (const auto it = names_.find(path); it != names_.end()) {
        return {EntryKind::File, it->second->data.size()};
    }
    return {};
}

FileStatus MemoryFileService::CheckWritable(const std::string& path) {
    if (FileStatus step = Step("check-write " + path); !step) {
        return step;
    }
    if (folders_.count(path) != 0) {
        return FileStatus::Failure("Is a directory");
    }
    if (!FolderExists(ParentOf(path))) {
        return FileStatus::Failure("No such file or directory");
    }
    return {};
}

Result<std::optional<FileIdentity>> MemoryFileService::Identify(const std::string& path) {
    if (FileStatus step = Step("identify " + path); !step) {
        return step;
    }
    const auto it = names_.find(path);
    if (it == names_.end()) {
        return std::optional<FileIdentity>();
    }
    return std::optional<FileIdentity>(FileIdentity{
        1, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(it->second.get()))});
}

FileStatus MemoryFileService::RestoreLeftover(const std::string& path) {
    if (FileStatus step = Step("restore " + path); !step) {
        return step;
    }
    const std::string leftover = path + std::string(kReplacementSuffix);
    if (names_.count(path) != 0 || names_.count(leftover) == 0) {
        return FileStatus::Failure(names_.count(path) != 0 ? "File exists"
                                                           : "No such file or directory");
    }
    Rename(leftover, path);
    FlushFolderOf(path);
    return {};
}

Result<std::unique_ptr<Replacement>> MemoryFileService::Replace(const std::string& path,
                                                                const std::string& /*like*/) {
    if (FileStatus step = Step("create new " + path); !step) {
        return step;
    }
    if (!FolderExists(ParentOf(path)) || folders_.count(path) != 0) {
        return FileStatus::Failure("No such file or directory");
    }
    // A new file left by an earlier run is removed, and a fresh one made.
    auto node = std::make_shared<Node>();
    names_[path + std::string(kReplacementSuffix)] = node;
    return std::make_unique<MemoryReplacement>(*this, path, node);
}

Result<std::unique_ptr<HeldFolder>> MemoryFileService::OpenFolder(const std::string& path) {
    if (folders_.count(path) == 0) {
        return FileStatus::Failure(names_.count(path) != 0 ? "Not a directory"
                                                           : "No such file or directory");
    }
    return std::unique_ptr<HeldFolder>(std::make_unique<MemoryFolder>(*this, path));
}

} // namespace quorvel::test
