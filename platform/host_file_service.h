#pragma once

// The file service on the machine itself.

#include "file_service.h"

#include <functional>
#include <string>

namespace quorvel {

class HostFileService : public FileService {
public:
    // `toHost` turns the program's paths into host paths; without one, paths
    // are used as they stand (as on Windows).
    explicit HostFileService(std::function<std::string(const std::string&)> toHost = {})
        : toHost_(std::move(toHost)) {}

    std::unique_ptr<TextStream> OpenTextFile(const std::string& path, OpenMode mode,
                                             FileStatus& status) override;
    EntryInfo Inspect(const std::string& path) override;
    FileStatus CheckWritable(const std::string& path) override;
    FileStatus CheckReadable(const std::string& path) override;

    std::string HostPath(const std::string& path) const { return toHost_ ? toHost_(path) : path; }

private:
    std::function<std::string(const std::string&)> toHost_;
};

} // namespace quorvel
