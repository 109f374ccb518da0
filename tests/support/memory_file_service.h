#pragma once

// A file service that keeps its files in memory and can be told to fail any
// single operation, for tests that must see every failure path.

#include "platform/file_service.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvel::test {

class MemoryFileService : public FileService {
public:
    void AddFolder(const std::string& path) { folders_.insert(path); }
    void SetFile(const std::string& path, std::string content) {
        files_[path] = std::move(content);
    }
    void RemoveFile(const std::string& path) { files_.erase(path); }
    std::optional<std::string> File(const std::string& path) const;
    std::map<std::string, std::string> Files() const { return files_; }

    // Makes the k-th operation from now on (1 for the next one) fail. Every
    // open, read, write, close and check counts as one operation.
    void FailOperation(std::size_t k) { failAt_ = operations_ + k; }
    // Makes the k-th operation from now on and every one after it fail, as
    // when the disk goes away.
    void FailFromOperation(std::size_t k) { failFrom_ = operations_ + k; }
    std::size_t Operations() const { return operations_; }
    // One entry per operation, such as "open 2 C:\x\custom.cfg" or "write".
    const std::vector<std::string>& Log() const { return log_; }

    std::unique_ptr<TextStream> OpenTextFile(const std::string& path, OpenMode mode,
                                             FileStatus& status) override;
    EntryInfo Inspect(const std::string& path) override;
    FileStatus CheckWritable(const std::string& path) override;
    FileStatus CheckReadable(const std::string& path) override;

    // Used by the streams: counts the operation and says whether it fails.
    bool Fails(std::string what);
    void Commit(const std::string& path, const std::string& bytes) { files_[path] += bytes; }

private:
    bool FolderExists(const std::string& path) const;

    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
    std::size_t operations_ = 0;
    std::size_t failAt_ = 0;
    std::size_t failFrom_ = 0;
    std::vector<std::string> log_;
};

} // namespace quorvel::test
