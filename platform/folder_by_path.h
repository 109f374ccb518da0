#pragma once

// A held folder whose files are reached by path through another file
// service: for a folder that its system keeps from being renamed or replaced
// while it is held (a Windows folder open without FILE_SHARE_DELETE), so
// that its path leads to it throughout. What holds it, and its lock, come
// from the class that derives.

#include "platform/file_service.h"

namespace quorvel {

class FolderByPath : public HeldFolder {
public:
    explicit FolderByPath(FileOperations& files) : files_(files) {}

    Result<std::unique_ptr<TextStream>> OpenTextFile(const std::string& path,
                                                     OpenMode mode) override {
        return files_.OpenTextFile(path, mode);
    }
    EntryInfo Inspect(const std::string& path) override { return files_.Inspect(path); }
    FileStatus CheckWritable(const std::string& path) override {
        return files_.CheckWritable(path);
    }
    Result<std::optional<FileIdentity>> Identify(const std::string& path) override {
        return files_.Identify(path);
    }
    Result<std::unique_ptr<Replacement>> Replace(const std::string& path,
                                                 const std::string& like) override {
        return files_.Replace(path, like);
    }
    FileStatus RestoreLeftover(const std::string& path) override {
        return files_.RestoreLeftover(path);
    }
    std::string HostPathForMessages(const std::string& path) const override {
        return files_.HostPathForMessages(path);
    }

private:
    FileOperations& files_;
};

} // namespace quorvel
