#pragma once

// Finding a folder one name at a time, relative to what was found before.
//
// Each step opens the next name inside the folder opened last, never a path
// from the root again, so that nothing renamed or swapped meanwhile above it
// changes where the walk leads. A symbolic link on the way is followed only
// when it is the player's or root's (at most kMaxLinks of them); another
// user's link is refused, and named with its owner.

#include "platform/file_service.h"

#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace quorvel::posix {

inline constexpr int kMaxLinks = 40;

// A descriptor, closed when its last holder lets go.
using SharedFd = std::shared_ptr<const int>;
SharedFd HoldFd(int fd);

// The user name of `uid`, for messages, else its number.
std::string UserName(uid_t uid);

// The system's error `error` as a failure.
FileStatus ErrorStatus(int error);

// The refusal of another user's link `link`, found at `shown`.
FileStatus ForeignLink(const struct stat& link, const std::string& shown);

// A folder found by a walk, and its path as walked, for messages.
struct Walked {
    SharedFd folder;
    std::string shown;
};

// Walks `path` from `from` (whose path is `fromShown`), or from the root for
// an absolute path, and opens the folder it leads to. `linksLeft` counts
// down the links followed; `error` is the system's error of a failed step
// (0 for a refused link).
Result<Walked> WalkToFolder(const Walked& from, std::string_view path, int& linksLeft, int& error);

// A name to act on: the name itself, or where the player's link at it leads.
struct NameInFolder {
    SharedFd folder; // null when a link leads into a folder that is not there
    std::string name;
    std::string shown; // the path of the name that was asked for
    bool viaLink = false;
};

// Resolves `name` inside `folder`: a plain name stays as it is; a link of
// the player's or root's is followed to the folder and name it leads to
// (through further links too); another user's link fails.
Result<NameInFolder> ResolveName(const Walked& folder, const std::string& name);

} // namespace quorvel::posix
