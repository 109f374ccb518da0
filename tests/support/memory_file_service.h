#pragma once

// A file service that keeps its files in memory and can be told to fail any
// single operation, for tests that must see every failure path, or to stop
// for good and lose what a power cut loses.
//
// It keeps two views of its files: what programs see, and what is on the
// disk. File data reaches the disk when a replacement is finished (fsync);
// a name (a file created, replaced or removed) when its folder is flushed.

#include "platform/file_service.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvel::test {

class MemoryFileService : public FileService {
public:
    void AddFolder(const std::string& path) { folders_.insert(path); }
    // A file as it stands on the disk.
    void SetFile(const std::string& path, std::string content);
    std::optional<std::string> File(const std::string& path) const;
    std::map<std::string, std::string> Files() const;

    // Makes the k-th operation from now on (1 for the next one) fail. Every
    // open, read, write, close, check, lock and step of a replacement counts
    // as one operation.
    void FailOperation(std::size_t k) { failAt_ = operations_ + k; }
    // Makes the k-th operation from now on and every one after it fail, as
    // when the disk goes away.
    void FailFromOperation(std::size_t k) { failFrom_ = operations_ + k; }
    std::size_t Operations() const { return operations_; }
    // One entry per operation, such as "open C:\x\custom.cfg" or "write new ...".
    const std::vector<std::string>& Log() const { return log_; }

    // The power goes: what is not on the disk is lost, and operations work
    // again.
    void PowerCut();

    Result<std::unique_ptr<TextStream>> OpenTextFile(const std::string& path,
                                                     OpenMode mode) override;
    EntryInfo Inspect(const std::string& path) override;
    FileStatus CheckWritable(const std::string& path) override;
    Result<std::optional<FileIdentity>> Identify(const std::string& path) override;
    Result<std::unique_ptr<Replacement>> Replace(const std::string& path,
                                                 const std::string& like) override;
    FileStatus RestoreLeftover(const std::string& path) override;
    Result<std::unique_ptr<HeldFolder>> OpenFolder(const std::string& path) override;
    std::string HostPathForMessages(const std::string&) const override { return {}; }

    // A file's bytes: what programs see, and what is on the disk.
    struct Node {
        std::string data;
        std::string durable;
    };
    using NodePtr = std::shared_ptr<Node>;

    // Used by the streams and replacements: counts the operation `what` and
    // fails it, or else does `then`.
    FileStatus Step(std::string what, const std::function<void()>& then = {});
    void Rename(const std::string& from, const std::string& to);
    void Unlink(const std::string& path) { names_.erase(path); }
    void FlushFolderOf(const std::string& path);

private:
    bool FolderExists(const std::string& path) const;

    std::map<std::string, NodePtr> names_;   // as programs see them
    std::map<std::string, NodePtr> durable_; // as on the disk
    std::set<std::string> folders_;
    std::size_t operations_ = 0;
    std::size_t failAt_ = 0;
    std::size_t failFrom_ = 0;
    std::vector<std::string> log_;
};

} // namespace quorvel::test
