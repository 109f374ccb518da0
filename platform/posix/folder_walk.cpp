#include "platform/posix/folder_walk.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::posix {

FileStatus ErrorStatus(int error) {
    return FileStatus::Failure(std::strerror(error),
                               error == EACCES ? FailureKind::Denied : FailureKind::Other, error);
}

FileStatus ForeignLink(const struct stat& link, const std::string& shown) {
    return FileStatus::Failure("it is a symbolic link owned by another user, " +
                               UserName(link.st_uid) + ", and is not followed: " + shown);
}

namespace {

// The names of `path` in order, without empty names and ".".
std::deque<std::string> NamesOf(std::string_view path) {
    std::deque<std::string> names;
    while (!path.empty()) {
        const std::size_t cut = std::min(path.find('/'), path.size());
        if (const std::string_view name = path.substr(0, cut); !name.empty() && name != ".") {
            names.emplace_back(name);
        }
        path.remove_prefix(std::min(cut + 1, path.size()));
    }
    return names;
}

int OpenAt(int at, const char* name, int flags) {
    int fd = -1;
    do {
        fd = ::openat(at, name, flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool Followed(const struct stat& link) {
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}

Result<std::string> ReadLinkAt(int at, const std::string& name, int& error) {
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(at, name.c_str(), target.data(), target.size());
    if (length <= 0) {
        error = length < 0 ? errno : ENOENT;
        return ErrorStatus(error);
    }
    target.resize(static_cast<std::size_t>(length));
    return target;
}

// The path of `name` in the folder shown as `folder`, for messages.
std::string Below(const std::string& folder, const std::string& name) {
    if (name == ".." && !folder.empty() && !folder.ends_with("/..") && folder != "." &&
        folder != "..") {
        return folder.substr(0, folder.find_last_of('/'));
    }
    return folder + "/" + name;
}

Walked Root() {
    return {HoldFd(OpenAt(AT_FDCWD, "/", O_PATH | O_DIRECTORY)), ""};
}

// The folder a walk ends at, opened for reading so that it can be flushed
// and locked; a folder that may be searched but not read stays as found.
Walked Readable(Walked found) {
    const int fd = OpenAt(*found.folder, ".", O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        found.folder = HoldFd(fd);
    }
    return found;
}

} // namespace

SharedFd HoldFd(int fd) {
    return SharedFd(new int(fd), [](const int* held) {
        if (*held >= 0) {
            ::close(*held);
        }
        delete held;
    });
}

std::string UserName(uid_t uid) {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr) {
        return std::string(found->pw_name) + " (uid " + std::to_string(uid) + ")";
    }
    return "uid " + std::to_string(uid);
}

Result<Walked> WalkToFolder(const Walked& from, std::string_view path, int& linksLeft, int& error) {
    Walked at = path.starts_with('/') ? Root() : from;
    std::deque<std::string> names = NamesOf(path);
    error = 0;
    while (!names.empty()) {
        const std::string name = std::move(names.front());
        names.pop_front();
        const std::string shown = Below(at.shown, name);
        struct stat info;
        if (::fstatat(*at.folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            error = errno;
            return ErrorStatus(error);
        }
        if (S_ISLNK(info.st_mode)) {
            if (!Followed(info)) {
                return ForeignLink(info, shown);
            }
            Result<std::string> target =
                --linksLeft < 0 ? ErrorStatus(error = ELOOP) : ReadLinkAt(*at.folder, name, error);
            if (!target) {
                return target.Status();
            }
            const std::deque<std::string> more = NamesOf(*target);
            names.insert(names.begin(), more.begin(), more.end());
            if (target->starts_with('/')) {
                at = Root();
            }
            continue;
        }
        // O_NOFOLLOW: a link put there since it was looked at is not
        // followed unchecked; the name is looked at again.
        const int fd = S_ISDIR(info.st_mode)
                           ? OpenAt(*at.folder, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW)
                           : (errno = ENOTDIR, -1);
        if (fd < 0) {
            error = errno;
            if (error == ELOOP && --linksLeft >= 0) {
                names.push_front(name);
                continue;
            }
            return ErrorStatus(error);
        }
        at = {HoldFd(fd), shown};
    }
    return Readable(std::move(at));
}

Result<NameInFolder> ResolveName(const Walked& folder, const std::string& name) {
    Walked at = folder;
    std::string leaf = name;
    const std::string asked = folder.shown + "/" + name;
    bool viaLink = false;
    for (int linksLeft = kMaxLinks;;) {
        struct stat info;
        if (::fstatat(*at.folder, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(info.st_mode)) {
            return NameInFolder{at.folder, leaf, asked, viaLink};
        }
        if (!Followed(info)) {
            return ForeignLink(info, at.shown + "/" + leaf);
        }
        int error = 0;
        Result<std::string> target =
            --linksLeft < 0 ? ErrorStatus(ELOOP) : ReadLinkAt(*at.folder, leaf, error);
        if (!target) {
            return target.Status();
        }
        viaLink = true;
        const std::size_t cut = target->find_last_of('/');
        leaf = cut == std::string::npos ? *target : target->substr(cut + 1);
        if (cut != std::string::npos) {
            auto walked =
                WalkToFolder(at, std::string_view(*target).substr(0, cut + 1), linksLeft, error);
            if (!walked && (error == ENOENT || error == ENOTDIR)) {
                return NameInFolder{nullptr, leaf, asked, true};
            }
            if (!walked) {
                return walked.Status();
            }
            at = std::move(*walked);
        }
    }
}

} // namespace quorvel::posix
