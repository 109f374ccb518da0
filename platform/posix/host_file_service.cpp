#include "platform/host_file_service.h"

#include "platform/host_file_common.h"
#include "platform/posix/folder_walk.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <optional>
#include <pwd.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorvel {
namespace {

using namespace host_failure;
using posix::ErrorStatus;
using posix::HoldFd;
using posix::SharedFd;
using posix::UserName;

// The folder in which a file at `path` would be created.
std::string ParentFolder(const std::string& path) {
    return host_common::ParentFolder(path, "/");
}

constexpr const char* kDanglingLink = "the path is a link to something that does not exist";

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
            return posix::ForeignLink(link, at);
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

// A refusal to write `host` (a file, or the folder a new file would go in,
// as `info` describes it), with whose it is, so that the player can be told
// how to make it writable.
FileStatus WriteRefused(int error, const struct stat& info, const std::string& host, bool folder) {
    FileStatus status = ErrorStatus(error);
    if (error != EACCES && error != EROFS) {
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

FileStatus WriteRefused(int error, const std::string& host, bool folder) {
    struct stat info {};
    return ::stat(host.c_str(), &info) == 0 ? WriteRefused(error, info, host, folder)
                                            : ErrorStatus(error);
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

class PosixStream final : public host_common::HostStream {
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

private:
    Result<std::string> ReadRest() override {
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
        all.resize(filled);
        return all;
    }

    FileStatus CloseOpen() override {
        // Not retried on EINTR: Linux has released the descriptor by then,
        // and the written bytes are with the system already.
        if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) {
            return ErrorStatus(errno);
        }
        return {};
    }

    static constexpr std::size_t kChunk = 65536;
    int fd_;
    std::size_t sizeHint_;
};

// A stream on `fd`, opened without blocking: only a plain file is read.
Result<std::unique_ptr<TextStream>> StreamOf(int fd) {
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
    return std::unique_ptr<TextStream>(
        std::make_unique<PosixStream>(fd, static_cast<std::size_t>(info.st_size)));
}

// The name of a file in its folder.
std::string NameOf(const std::string& path) {
    const std::size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

FileStatus FlushFolderFd(int folder) {
    // Some file systems cannot flush a folder and say so; their changes are
    // as safe as they get.
    if (::fsync(folder) == 0 || errno == EINVAL || errno == ENOTSUP) {
        return {};
    }
    return ErrorStatus(errno);
}

// Moves `from` to `to` in `folder` unless `to` exists, in one step where the
// file system can; elsewhere as a second name given and the first removed.
FileStatus MoveUnlessThere(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return ErrorStatus(errno);
    }
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0) {
        return ErrorStatus(errno);
    }
    if (::unlinkat(folder, from.c_str(), 0) != 0) {
        return ErrorStatus(errno);
    }
    return {};
}

// A new file `newName` in `folder`, to be renamed over `target` there; or
// where `target` was missing, put in its place only while it still is.
class PosixReplacement final : public host_common::HostReplacement {
public:
    PosixReplacement(int fd, SharedFd folder, std::string newName, std::string target,
                     bool targetMissing)
        : fd_(fd), folder_(std::move(folder)), newName_(std::move(newName)),
          target_(std::move(target)), targetMissing_(targetMissing) {}
    PosixReplacement(const PosixReplacement&) = delete;
    PosixReplacement& operator=(const PosixReplacement&) = delete;
    ~PosixReplacement() override { DiscardUnlessInPlace(); }

    FileStatus FlushFolder() override { return FlushFolderFd(*folder_); }

private:
    FileStatus WriteOpen(std::string_view text) override { return WriteAll(fd_, text); }

    FileStatus FlushAndClose() override {
        const int fd = std::exchange(fd_, -1);
        FileStatus status = ::fsync(fd) == 0 ? FileStatus::Success() : ErrorStatus(errno);
        if (::close(fd) != 0 && errno != EINTR && status) {
            status = ErrorStatus(errno);
        }
        return status;
    }

    FileStatus MoveInPlace() override {
        if (targetMissing_) {
            return MoveUnlessThere(*folder_, newName_, target_);
        }
        if (::renameat(*folder_, newName_.c_str(), *folder_, target_.c_str()) != 0) {
            return ErrorStatus(errno);
        }
        return {};
    }

    void CloseUnflushed() override { ::close(std::exchange(fd_, -1)); }

    FileStatus RemoveNew() override {
        if (::unlinkat(*folder_, newName_.c_str(), 0) != 0 && errno != ENOENT) {
            return ErrorStatus(errno);
        }
        return {};
    }

    int fd_;
    SharedFd folder_;
    std::string newName_;
    std::string target_;
    bool targetMissing_;
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
// of the file it replaces (`old`); where there is none, the permissions of
// `like`, which must be the player's: another user's file says nothing of
// how open the player's lines may be. The new file was made private, so it
// is never more open than either.
FileStatus KeepPermissions(int fd, const struct stat* old, const struct stat* like) {
    if (old == nullptr) {
        if (like == nullptr || !S_ISREG(like->st_mode)) {
            return {}; // stays private
        }
        return ::fchmod(fd, like->st_mode & 0777) == 0 ? FileStatus::Success() : ErrorStatus(errno);
    }
    struct stat fresh;
    if (::fstat(fd, &fresh) == 0 && (fresh.st_uid != old->st_uid || fresh.st_gid != old->st_gid)) {
        // Only a privileged process may give a file away; anyone else keeps
        // the file as theirs.
        (void)::fchown(fd, old->st_uid, old->st_gid);
    }
    return ::fchmod(fd, old->st_mode & 07777) == 0 ? FileStatus::Success() : ErrorStatus(errno);
}

// Starts a replacement of `target` in `folder`, which may be missing.
Result<std::unique_ptr<Replacement>>
StartReplacement(const SharedFd& folder, const std::string& target, const struct stat* like) {
    struct stat old;
    const bool exists = ::fstatat(*folder, target.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) {
        return ErrorStatus(errno);
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return RequireRegularFile(old);
    }
    std::string newName = target + std::string(kReplacementSuffix);
    // A new file left by a run that stopped half way is ours to remove.
    if (::unlinkat(*folder, newName.c_str(), 0) != 0 && errno != ENOENT) {
        return ErrorStatus(errno);
    }
    // O_EXCL: never through a link, never into a file someone else made.
    // Private to the player until it has the permissions it keeps.
    int fd = -1;
    do {
        fd = ::openat(*folder, newName.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return ErrorStatus(errno);
    }
    auto replacement =
        std::make_unique<PosixReplacement>(fd, folder, std::move(newName), target, !exists);
    if (const FileStatus kept = KeepPermissions(fd, exists ? &old : nullptr, like); !kept) {
        return kept; // the replacement removes its new file
    }
    return std::unique_ptr<Replacement>(std::move(replacement));
}

// Puts the new file left beside `name` in `folder` in its place, where it is
// a plain file of the player's and `name` is still missing.
FileStatus RestoreIn(int folder, const std::string& name) {
    const std::string leftover = name + std::string(kReplacementSuffix);
    struct stat info;
    if (::fstatat(folder, leftover.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return ErrorStatus(errno);
    }
    if (S_ISLNK(info.st_mode)) {
        return FileStatus::Failure("it is a symbolic link, not a file that quorvel wrote");
    }
    if (!S_ISREG(info.st_mode)) {
        return RequireRegularFile(info);
    }
    if (info.st_uid != ::geteuid()) {
        return FileStatus::Failure("it belongs to another user, " + UserName(info.st_uid));
    }
    const FileStatus moved = MoveUnlessThere(folder, leftover, name);
    return moved ? FlushFolderFd(folder) : moved;
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

// Locks the folder `fd` leads to, through a descriptor of the lock's own,
// so that the lock goes with it.
Result<std::unique_ptr<FolderLock>> LockFolderAt(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
        return error == EWOULDBLOCK ? FileStatus::Busy(std::strerror(error), error)
                                    : ErrorStatus(error);
    }
    return std::unique_ptr<FolderLock>(std::make_unique<PosixFolderLock>(fd));
}

FileIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// What is at the name `file` itself, not where a link there leads; false
// (with errno set) where nothing is, or its folder is missing.
bool LookAt(const posix::NameInFolder& file, struct stat& info) {
    return file.folder &&
           ::fstatat(*file.folder, file.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// The mainta folder, or any other, held by its descriptor.
class PosixHeldFolder final : public HeldFolder {
public:
    PosixHeldFolder(const HostFileService& service, std::string path, posix::Walked folder,
                    FileIdentity identity)
        : service_(service), path_(std::move(path)), folder_(std::move(folder)),
          identity_(identity) {}

    Result<std::unique_ptr<TextStream>> OpenTextFile(const std::string& path,
                                                     OpenMode mode) override {
        Result<posix::NameInFolder> file = Resolved(path);
        if (mode != OpenMode::Reading || !file || !file->folder) {
            return !file ? file.Status() : ErrorStatus(file->folder ? EINVAL : ENOENT);
        }
        // Without blocking, so that a pipe in the file's place cannot hang
        // the program; the stream itself blocks as usual.
        return StreamOf(::openat(*file->folder, file->name.c_str(),
                                 O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    }

    EntryInfo Inspect(const std::string& path) override {
        Result<posix::NameInFolder> file = Resolved(path);
        struct stat info;
        if (!file || !LookAt(*file, info)) {
            // A link that leads nowhere, or another user's, is something
            // that must not be overwritten blindly.
            const bool nothing = file && !file->viaLink && (errno == ENOENT || errno == ENOTDIR);
            return {nothing ? EntryKind::Missing : EntryKind::Other, 0};
        }
        if (S_ISREG(info.st_mode)) {
            return {EntryKind::File, static_cast<std::uint64_t>(info.st_size), file->viaLink};
        }
        return {S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::Other, 0, file->viaLink};
    }

    FileStatus CheckWritable(const std::string& path) override {
        Result<posix::NameInFolder> file = Resolved(path);
        if (!file) {
            return file.Status();
        }
        struct stat info;
        if (LookAt(*file, info)) {
            const FileStatus plain = RequireRegularFile(info);
            const int fd = plain ? ::openat(*file->folder, file->name.c_str(),
                                            O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC)
                                 : -1;
            if (fd >= 0) {
                ::close(fd);
                return FileStatus::Success();
            }
            return plain ? WriteRefused(errno, info, file->shown, false) : plain;
        }
        if (file->folder && errno != ENOENT) {
            return ErrorStatus(errno);
        }
        // Writing through a link to nothing would create a file wherever it
        // points, outside the folder the player chose.
        if (file->viaLink) {
            return FileStatus::Failure(kDanglingLink);
        }
        if (::faccessat(*file->folder, ".", W_OK | X_OK, 0) == 0) {
            return FileStatus::Success();
        }
        const int error = errno;
        return ::fstat(*file->folder, &info) == 0
                   ? WriteRefused(error, info, ParentFolder(file->shown), true)
                   : ErrorStatus(error);
    }

    Result<std::optional<FileIdentity>> Identify(const std::string& path) override {
        Result<posix::NameInFolder> file = Resolved(path);
        if (!file) {
            return file.Status();
        }
        struct stat info;
        if (LookAt(*file, info)) {
            return std::optional<FileIdentity>(IdentityOf(info));
        }
        if (!file->folder || errno == ENOENT || errno == ENOTDIR) {
            return std::optional<FileIdentity>();
        }
        return ErrorStatus(errno);
    }

    Result<std::unique_ptr<Replacement>> Replace(const std::string& path,
                                                 const std::string& like) override {
        Result<posix::NameInFolder> file = Resolved(path);
        if (!file || !file->folder) {
            return !file ? file.Status() : ErrorStatus(ENOENT);
        }
        struct stat likeInfo;
        Result<posix::NameInFolder> likeFile =
            like.empty() ? FileStatus::Failure("none") : Resolved(like);
        const bool hasLike =
            likeFile && LookAt(*likeFile, likeInfo) && likeInfo.st_uid == ::geteuid();
        return StartReplacement(file->folder, file->name, hasLike ? &likeInfo : nullptr);
    }

    FileStatus RestoreLeftover(const std::string& path) override {
        const std::string name = NameInside(path);
        resolved_.erase(name);
        return RestoreIn(*folder_.folder, name);
    }

    std::string HostPathForMessages(const std::string& path) const override {
        return service_.HostPathForMessages(path);
    }

    FileIdentity Identity() const override { return identity_; }

    Result<std::unique_ptr<FolderLock>> Lock() override { return LockFolderAt(*folder_.folder); }

private:
    // The name in this folder of the file at `path`, which must be directly
    // inside it: as written where that name is there, else as the path's
    // mapping spells it (in another letter case).
    std::string NameInside(const std::string& path) const {
        const std::string_view rest =
            std::string_view(path).substr(std::min(path.size(), path_.size()));
        if (!path.starts_with(path_) || rest.size() < 2 || (rest[0] != '\\' && rest[0] != '/') ||
            rest.find_first_of("\\/", 1) != std::string_view::npos) {
            throw std::logic_error("not a file of the folder held: " + path);
        }
        const std::string asWritten(rest.substr(1));
        struct stat info;
        if (::fstatat(*folder_.folder, asWritten.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            return asWritten;
        }
        return NameOf(service_.HostPathForCalls(path));
    }

    // Where the file at `path` is: resolved once, and held from then on.
    Result<posix::NameInFolder> Resolved(const std::string& path) {
        const std::string name = NameInside(path);
        if (const auto known = resolved_.find(name); known != resolved_.end()) {
            return known->second;
        }
        Result<posix::NameInFolder> file = posix::ResolveName(folder_, name);
        if (file) {
            resolved_.emplace(name, *file);
        }
        return file;
    }

    const HostFileService& service_;
    std::string path_;
    posix::Walked folder_;
    FileIdentity identity_;
    std::map<std::string, posix::NameInFolder> resolved_;
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
    return StreamOf(fd);
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

Result<std::optional<FileIdentity>> HostFileService::Identify(const std::string& path) {
    struct stat info;
    if (::stat(HostPathForCalls(path).c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::optional<FileIdentity>();
        }
        return ErrorStatus(errno);
    }
    return std::optional<FileIdentity>(IdentityOf(info));
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
    const int folder = OpenRetrying(ParentFolder(*target), O_RDONLY | O_DIRECTORY);
    if (folder < 0) {
        return ErrorStatus(errno);
    }
    struct stat likeInfo;
    const bool hasLike = !like.empty() && ::stat(HostPathForCalls(like).c_str(), &likeInfo) == 0 &&
                         likeInfo.st_uid == ::geteuid();
    return StartReplacement(HoldFd(folder), NameOf(*target), hasLike ? &likeInfo : nullptr);
}

FileStatus HostFileService::RestoreLeftover(const std::string& path) {
    const std::string host = HostPathForCalls(path);
    const int folder = OpenRetrying(ParentFolder(host), O_RDONLY | O_DIRECTORY);
    if (folder < 0) {
        return ErrorStatus(errno);
    }
    return RestoreIn(*HoldFd(folder), NameOf(host));
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

Result<std::unique_ptr<HeldFolder>> HostFileService::OpenFolder(const std::string& path) {
    const std::string host = HostPathForCalls(path);
    // A relative path starts at the working folder.
    const posix::Walked start{HoldFd(OpenRetrying(".", O_PATH | O_DIRECTORY)), "."};
    int linksLeft = posix::kMaxLinks;
    int error = 0;
    Result<posix::Walked> folder = posix::WalkToFolder(start, host, linksLeft, error);
    if (!folder) {
        return folder.Status();
    }
    folder->shown = host;
    struct stat info;
    if (::fstat(*folder->folder, &info) != 0) {
        return ErrorStatus(errno);
    }
    return std::unique_ptr<HeldFolder>(
        std::make_unique<PosixHeldFolder>(*this, path, std::move(*folder), IdentityOf(info)));
}

} // namespace quorvel
