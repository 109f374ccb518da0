#include "platform/host_file_service.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorvel {
namespace {

using namespace host_failure;

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

int OpenRetrying(const std::string& path, int flags, mode_t mode = 0666) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
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

// The user name of `uid`, for messages, else its number.
std::string UserName(uid_t uid) {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr) {
        return std::string(found->pw_name) + " (uid " + std::to_string(uid) + ")";
    }
    return "uid " + std::to_string(uid);
}

// Another user may plant a link where the player's file should be, to have
// the player's own program write where that user chooses. A link is only
// followed when it is the player's or root's; so is every link it leads to.
FileStatus RefuseForeignLinks(const std::string& host) {
    std::string at = host;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat link;
        if (::lstat(at.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            return {};
        }
        if (link.st_uid != ::geteuid() && link.st_uid != 0) {
            return FileStatus::Failure("it is a symbolic link owned by another user, " +
                                       UserName(link.st_uid) + ", and is not followed: " + at);
        }
        std::string next(PATH_MAX, '\0');
        const ssize_t length = ::readlink(at.c_str(), next.data(), next.size());
        if (length <= 0) {
            return {};
        }
        next.resize(static_cast<std::size_t>(length));
        at = next.front() == '/' ? next : ParentFolder(at) + "/" + next;
    }
    return {};
}

// A refusal to write `host` (a file, or the folder a new file would go in),
// with whose it is, so that the player can be told how to make it writable.
FileStatus WriteRefused(int error, const std::string& host, bool folder) {
    FileStatus status = ErrorStatus(error);
    struct stat info {};
    if ((error != EACCES && error != EROFS) || ::stat(host.c_str(), &info) != 0) {
        return status;
    }
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    const bool named =
        ::getpwuid_r(info.st_uid, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr;
    status.refusal = WriteRefusal{
        host, folder, named ? std::string(found->pw_name) : "uid " + std::to_string(info.st_uid),
        info.st_uid == ::geteuid(), error == EROFS};
    return status;
}

// Opens the file for writing and closes it again, to learn whether the
// system allows it. Without O_CREAT and O_TRUNC this changes nothing on disk.
FileStatus TryOpenForWriting(const std::string& host) {
    const int fd = OpenRetrying(host, O_WRONLY | O_NONBLOCK);
    if (fd < 0) {
        return WriteRefused(errno, host, false);
    }
    ::close(fd);
    return {};
}

// Writes all of `text` to `fd`.
FileStatus WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = ::write(fd, text.data(), text.size());
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

    Result<std::string> ReadAll() override {
        if (fd_ < 0) {
            return FileStatus::Failure(kClosed);
        }
        // The size the file had when it was opened is read straight into
        // place; whatever it has gained since follows in chunks. Whatever
        // the size says, reading stops within a chunk past the limit.
        constexpr std::size_t kLimit = static_cast<std::size_t>(kMaxReadSize);
        std::string all(std::min(sizeHint_, kLimit), '\0');
        std::size_t filled = 0;
        for (;;) {
            if (filled > kLimit) {
                return FileStatus::Failure(kTooLarge);
            }
            if (filled == all.size()) {
                all.resize(filled + kChunk);
            }
            const ssize_t got = ::read(fd_, all.data() + filled, all.size() - filled);
            if (got > 0) {
                filled += static_cast<std::size_t>(got);
            } else if (got == 0) {
                break;
            } else if (errno != EINTR) {
                return ErrorStatus(errno);
            }
        }
        if (filled == 0) {
            return FileStatus::Failure(kEmptyFile);
        }
        all.resize(filled);
        return all;
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
    static constexpr std::size_t kChunk = 65536;
    int fd_;
    std::size_t sizeHint_;
};

} // namespace

Result<std::unique_ptr<TextStream>> HostFileService::OpenTextFile(const std::string& path,
                                                                  OpenMode mode) {
    if (mode != OpenMode::Reading) {
        return ErrorStatus(EINVAL);
    }
    // Opened without blocking, so that a pipe in the file's place cannot hang
    // the program; the stream itself blocks as usual.
    int fd = -1;
    if (asWritten_) {
        // Something that opens where the path names it as written is where
        // the mapping leads as well, so the look-up is spared. Where nothing
        // opens there, the mapped path is opened as usual: a file missing as
        // written may exist in another letter case, which only the mapping
        // finds.
        fd = OpenRetrying(asWritten_(path), O_RDONLY | O_NONBLOCK);
    }
    if (fd < 0) {
        fd = OpenRetrying(HostPathForCalls(path), O_RDONLY | O_NONBLOCK);
    }
    if (fd < 0) {
        return ErrorStatus(errno);
    }
    struct stat info;
    FileStatus status = ::fstat(fd, &info) == 0 ? RequireRegularFile(info) : ErrorStatus(errno);
#ifndef __linux__
    // Back to blocking reads. Linux ignores O_NONBLOCK for plain files, whose
    // reads block as usual, so there the call is spared.
    if (status && ::fcntl(fd, F_SETFL, O_RDONLY) != 0) {
        status = ErrorStatus(errno);
    }
#endif
    if (!status) {
        ::close(fd);
        return status;
    }
    return std::make_unique<PosixStream>(fd, static_cast<std::size_t>(info.st_size));
}

EntryInfo HostFileService::Inspect(const std::string& path) {
    const std::string host = HostPathForCalls(path);
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
    const std::string host = HostPathForCalls(path);
    if (const FileStatus own = RefuseForeignLinks(host); !own) {
        return own;
    }
    struct stat info;
    if (::stat(host.c_str(), &info) == 0) {
        const FileStatus plain = RequireRegularFile(info);
        return plain ? TryOpenForWriting(host) : plain;
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
        return WriteRefused(errno, folder, true);
    }
    return {};
}

namespace {

FileStatus FlushFolderAt(const std::string& folder) {
    const int fd = OpenRetrying(folder, O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return ErrorStatus(errno);
    }
    // Some file systems cannot flush a folder and say so; their changes are
    // as safe as they get.
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    const int error = errno;
    ::close(fd);
    return flushed ? FileStatus::Success() : ErrorStatus(error);
}

class PosixReplacement final : public Replacement {
public:
    PosixReplacement(int fd, std::string newPath, std::string target)
        : fd_(fd), newPath_(std::move(newPath)), target_(std::move(target)) {}
    PosixReplacement(const PosixReplacement&) = delete;
    PosixReplacement& operator=(const PosixReplacement&) = delete;
    ~PosixReplacement() override {
        if (!inPlace_) {
            (void)Discard();
        }
    }

    FileStatus Write(std::string_view text) override {
        return fd_ < 0 ? FileStatus::Failure(kClosed) : WriteAll(fd_, text);
    }

    FileStatus Finish() override {
        if (fd_ < 0) {
            return FileStatus::Failure(kClosed);
        }
        const int fd = std::exchange(fd_, -1);
        FileStatus status = ::fsync(fd) == 0 ? FileStatus::Success() : ErrorStatus(errno);
        if (::close(fd) != 0 && errno != EINTR && status) {
            status = ErrorStatus(errno);
        }
        return status;
    }

    FileStatus PutInPlace() override {
        if (fd_ >= 0 || removed_ || inPlace_) {
            return FileStatus::Failure(kClosed);
        }
        if (::rename(newPath_.c_str(), target_.c_str()) != 0) {
            return ErrorStatus(errno);
        }
        inPlace_ = true;
        return {};
    }

    FileStatus FlushFolder() override { return FlushFolderAt(ParentFolder(target_)); }

    FileStatus Discard() override {
        if (fd_ >= 0) {
            ::close(std::exchange(fd_, -1));
        }
        if (inPlace_ || removed_) {
            return {};
        }
        if (::unlink(newPath_.c_str()) != 0 && errno != ENOENT) {
            return ErrorStatus(errno);
        }
        removed_ = true;
        return {};
    }

private:
    int fd_;
    std::string newPath_;
    std::string target_;
    bool inPlace_ = false;
    bool removed_ = false;
};

// The file a replacement of `host` replaces: the file itself, or for a link
// the file it leads to, so that the link stays a link.
Result<std::string> ReplacedFile(const std::string& host) {
    struct stat info;
    if (::lstat(host.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return host;
    }
    char* resolved = ::realpath(host.c_str(), nullptr);
    if (resolved == nullptr) {
        return ErrorStatus(errno);
    }
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Gives the new file the permissions and, where the process may, the owner
// of the file it replaces; where there is none, the permissions of `like`.
// The new file was made private, so it is never more open than either.
FileStatus KeepPermissions(int fd, const std::string& target, const std::string& like) {
    struct stat old;
    if (::stat(target.c_str(), &old) != 0) {
        if (errno != ENOENT) {
            return ErrorStatus(errno);
        }
        if (like.empty() || ::stat(like.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
            return {}; // stays private
        }
        return ::fchmod(fd, old.st_mode & 0777) == 0 ? FileStatus::Success() : ErrorStatus(errno);
    }
    if (!S_ISREG(old.st_mode)) {
        return RequireRegularFile(old);
    }
    struct stat fresh;
    if (::fstat(fd, &fresh) == 0 && (fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid)) {
        // Only a privileged process may give a file away; anyone else keeps
        // the file as theirs.
        (void)::fchown(fd, old.st_uid, old.st_gid);
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? FileStatus::Success() : ErrorStatus(errno);
}

class PosixFolderLock final : public FolderLock {
public:
    explicit PosixFolderLock(int fd) : fd_(fd) {}
    PosixFolderLock(const PosixFolderLock&) = delete;
    PosixFolderLock& operator=(const PosixFolderLock&) = delete;
    ~PosixFolderLock() override { ::close(fd_); }

private:
    int fd_;
};

} // namespace

Result<std::optional<FileIdentity>> HostFileService::Identify(const std::string& path) {
    struct stat info;
    if (::stat(HostPathForCalls(path).c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::optional<FileIdentity>();
        }
        return ErrorStatus(errno);
    }
    return std::optional<FileIdentity>(FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                                                    static_cast<std::uint64_t>(info.st_ino)});
}

Result<std::unique_ptr<Replacement>> HostFileService::Replace(const std::string& path,
                                                              const std::string& like) {
    const std::string host = HostPathForCalls(path);
    if (const FileStatus own = RefuseForeignLinks(host); !own) {
        return own;
    }
    Result<std::string> target = ReplacedFile(host);
    if (!target) {
        return target.Status();
    }
    std::string newPath = *target + std::string(kReplacementSuffix);
    // A new file left by a run that stopped half way is ours to remove.
    if (::unlink(newPath.c_str()) != 0 && errno != ENOENT) {
        return ErrorStatus(errno);
    }
    // O_EXCL: never through a link, never into a file someone else made.
    // Private to the player until it has the permissions it keeps.
    const int fd = OpenRetrying(newPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return ErrorStatus(errno);
    }
    auto replacement = std::make_unique<PosixReplacement>(fd, newPath, *target);
    if (const FileStatus kept =
            KeepPermissions(fd, *target, like.empty() ? like : HostPathForCalls(like));
        !kept) {
        return kept; // the replacement removes its new file
    }
    return std::unique_ptr<Replacement>(std::move(replacement));
}

FileStatus HostFileService::RestoreLeftover(const std::string& path) {
    const std::string host = HostPathForCalls(path);
    const std::string leftover = host + std::string(kReplacementSuffix);
    // Never over a file that is there: the folder is locked against other
    // copies of the program, but the player may have put one back meanwhile.
    if (::renameat2(AT_FDCWD, leftover.c_str(), AT_FDCWD, host.c_str(), RENAME_NOREPLACE) != 0) {
        struct stat info;
        const bool unsupported = errno == EINVAL || errno == ENOSYS;
        if (!unsupported) {
            return ErrorStatus(errno);
        }
        if (::lstat(host.c_str(), &info) == 0) {
            return ErrorStatus(EEXIST);
        }
        if (::rename(leftover.c_str(), host.c_str()) != 0) {
            return ErrorStatus(errno);
        }
    }
    return FlushFolderAt(ParentFolder(host));
}

std::string HostFileService::HostPathForMessages(const std::string& path) const {
    if (!toHost_) {
        return {};
    }
    const std::string host = toHost_(path);
    // The deepest folder that exists, resolved, and the rest as mapped.
    std::string head = host;
    std::string rest;
    for (;;) {
        if (char* resolved = ::realpath(head.c_str(), nullptr)) {
            std::string found(resolved);
            std::free(resolved);
            return found + rest;
        }
        const std::size_t cut = head.find_last_of('/');
        if (cut == std::string::npos || cut == 0) {
            return host;
        }
        rest = head.substr(cut) + rest;
        head.resize(cut);
    }
}

Result<std::unique_ptr<FolderLock>> HostFileService::LockFolder(const std::string& folder) {
    const int fd = OpenRetrying(HostPathForCalls(folder), O_RDONLY | O_DIRECTORY | O_NONBLOCK);
    if (fd < 0) {
        return ErrorStatus(errno);
    }
    int locked = -1;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? FileStatus::Busy(std::strerror(error)) : ErrorStatus(error);
    }
    return std::unique_ptr<FolderLock>(std::make_unique<PosixFolderLock>(fd));
}

} // namespace quorvel
