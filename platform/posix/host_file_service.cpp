#include "platform/host_file_service.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorvel {
namespace {

// The program treats an empty file like a missing one, so reading one fails.
constexpr const char* kEmptyFile = "the file is empty";
constexpr const char* kClosed = "the file is already closed";
constexpr const char* kNotAFile = "not a regular file";

// The folder in which a file at `path` would be created.
std::string ParentFolder(const std::string& path) {
    const std::size_t cut = path.find_last_of('/');
    if (cut == std::string::npos) {
        return ".";
    }
    if (cut == 0) {
        return path.substr(0, 1);
    }
    std::string folder = path.substr(0, cut);
    return folder;
}

constexpr const char* kDanglingLink = "the path is a link to something that does not exist";

FileStatus ErrorStatus(int error) {
    return FileStatus::Failure(std::strerror(error));
}

int OpenRetrying(const std::string& path, int flags) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Only plain files are read and written. Linux opens a folder for reading
// without complaint, and a pipe or a device could block or never end.
FileStatus RequireRegularFile(const struct stat& info) {
    if (S_ISREG(info.st_mode)) {
        return {};
    }
    return S_ISDIR(info.st_mode) ? ErrorStatus(EISDIR) : FileStatus::Failure(kNotAFile);
}

// Opens and closes the file again, to learn whether the system allows it.
// Without O_CREAT and O_TRUNC this changes nothing on disk.
FileStatus TryOpen(const std::string& host, int flags) {
    const int fd = OpenRetrying(host, flags | O_NONBLOCK);
    if (fd < 0) {
        return ErrorStatus(errno);
    }
    ::close(fd);
    return {};
}

class PosixStream final : public TextStream {
public:
    // `sizeHint` is the size the file had when it was opened.
    PosixStream(int fd, std::size_t sizeHint) : fd_(fd), sizeHint_(sizeHint) {}
    PosixStream(const PosixStream&) = delete;
    PosixStream& operator=(const PosixStream&) = delete;
    ~PosixStream() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    FileStatus ReadAll(std::string& text) override {
        if (fd_ < 0) {
            return FileStatus::Failure(kClosed);
        }
        // The size the file had when it was opened is read straight into
        // place; whatever it has gained since follows in chunks.
        std::string all(sizeHint_, '\0');
        std::size_t filled = 0;
        bool atEnd = false;
        while (filled < all.size()) {
            const ssize_t got = ::read(fd_, all.data() + filled, all.size() - filled);
            if (got > 0) {
                filled += static_cast<std::size_t>(got);
            } else if (got == 0) {
                atEnd = true;
                break;
            } else if (errno != EINTR) {
                return ErrorStatus(errno);
            }
        }
        all.resize(filled);
        char chunk[65536];
        while (!atEnd) {
            const ssize_t got = ::read(fd_, chunk, sizeof chunk);
            if (got > 0) {
                all.append(chunk, static_cast<std::size_t>(got));
            } else if (got == 0) {
                atEnd = true;
            } else if (errno != EINTR) {
                return ErrorStatus(errno);
            }
        }
        if (all.empty()) {
            return FileStatus::Failure(kEmptyFile);
        }
        text = std::move(all);
        return {};
    }

    FileStatus Write(std::string_view text) override {
        if (fd_ < 0) {
            return FileStatus::Failure(kClosed);
        }
        while (!text.empty()) {
            const ssize_t put = ::write(fd_, text.data(), text.size());
            if (put > 0) {
                text.remove_prefix(static_cast<std::size_t>(put));
            } else if (put == 0) {
                return ErrorStatus(EIO);
            } else if (errno != EINTR) {
                return ErrorStatus(errno);
            }
        }
        return {};
    }

    FileStatus Close() override {
        if (fd_ < 0) {
            return FileStatus::Failure(kClosed);
        }
        // Not retried on EINTR: Linux has released the descriptor by then,
        // and the written bytes are with the system already.
        if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) {
            return ErrorStatus(errno);
        }
        return {};
    }

private:
    int fd_;
    std::size_t sizeHint_;
};

} // namespace

std::unique_ptr<TextStream> HostFileService::OpenTextFile(const std::string& path, OpenMode mode,
                                                          FileStatus& status) {
    int flags = 0;
    switch (mode) {
    case OpenMode::Reading:
        flags = O_RDONLY;
        break;
    case OpenMode::Writing:
        flags = O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case OpenMode::Appending:
        flags = O_WRONLY | O_CREAT | O_APPEND;
        break;
    default:
        status = ErrorStatus(EINVAL);
        return nullptr;
    }
    // Opened without blocking, so that a pipe in the file's place cannot hang
    // the program; the stream itself blocks as usual.
    int fd = -1;
    if (asWritten_) {
        // Something that opens where the path names it as written is where
        // the mapping leads as well, so the look-up is spared. Nothing is
        // created here: a file that is missing as written may exist in
        // another letter case, which only the mapping finds. Where nothing
        // opens, nothing has changed, and the mapped path is opened as usual.
        fd = OpenRetrying(asWritten_(path), (flags & ~O_CREAT) | O_NONBLOCK);
    }
    if (fd < 0) {
        fd = OpenRetrying(HostPath(path), flags | O_NONBLOCK);
    }
    if (fd < 0) {
        status = ErrorStatus(errno);
        return nullptr;
    }
    struct stat info;
    status = ::fstat(fd, &info) == 0 ? RequireRegularFile(info) : ErrorStatus(errno);
#ifndef __linux__
    // The flags the file was opened with, less O_NONBLOCK; F_SETFL takes
    // only the status flags (O_APPEND here) from them. Linux ignores
    // O_NONBLOCK for plain files, whose reads and writes block as usual, so
    // there the call, one in five of every line written, is spared.
    if (status && ::fcntl(fd, F_SETFL, flags) != 0) {
        status = ErrorStatus(errno);
    }
#endif
    if (!status) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixStream>(fd, static_cast<std::size_t>(info.st_size));
}

EntryInfo HostFileService::Inspect(const std::string& path) {
    const std::string host = HostPath(path);
    struct stat info;
    if (::stat(host.c_str(), &info) != 0) {
        // Nothing there is Missing. Anything else that cannot be looked at,
        // such as a link to nothing or a folder that may not be searched, is
        // something that a caller must not overwrite blindly.
        const int error = errno;
        struct stat link;
        const bool nothing =
            (error == ENOENT || error == ENOTDIR) && ::lstat(host.c_str(), &link) != 0;
        return {nothing ? EntryKind::Missing : EntryKind::Other, 0};
    }
    if (S_ISREG(info.st_mode)) {
        return {EntryKind::File, static_cast<std::uint64_t>(info.st_size)};
    }
    return {S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::Other, 0};
}

FileStatus HostFileService::CheckWritable(const std::string& path) {
    const std::string host = HostPath(path);
    struct stat info;
    if (::stat(host.c_str(), &info) == 0) {
        const FileStatus plain = RequireRegularFile(info);
        return plain ? TryOpen(host, O_WRONLY) : plain;
    }
    if (errno != ENOENT) {
        return ErrorStatus(errno);
    }
    // Writing would follow a link to nothing and create a file wherever it
    // points, outside the folder the player chose: say no, as Inspect does.
    if (::lstat(host.c_str(), &info) == 0) {
        return FileStatus::Failure(kDanglingLink);
    }
    const std::string folder = ParentFolder(host);
    if (::stat(folder.c_str(), &info) != 0) {
        return ErrorStatus(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return ErrorStatus(ENOTDIR);
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return ErrorStatus(errno);
    }
    return {};
}

FileStatus HostFileService::CheckReadable(const std::string& path) {
    const std::string host = HostPath(path);
    struct stat info;
    if (::stat(host.c_str(), &info) != 0) {
        return ErrorStatus(errno);
    }
    const FileStatus plain = RequireRegularFile(info);
    return plain ? TryOpen(host, O_RDONLY) : plain;
}

} // namespace quorvel
