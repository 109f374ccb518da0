#pragma once

// Where the program's Windows-style paths live on a host that runs the game
// under Wine.

#include "platform/file_service.h"

#include <memory>
#include <string>
#include <string_view>

namespace quorvel {

class WinePathMapper {
public:
    // The player's home folder is $HOME, else the password database's.
    explicit WinePathMapper(std::string prefix);

    // Maps a path to the host:
    // - "X:\..." goes below the prefix's dosdevices/x: (a drive letter in any case);
    // - "\..." (the current drive's root) goes below drive C:;
    // - "/..." is already a host path;
    // - "~" alone or followed by "/" or "\" is the player's home folder, as a
    //   shell reads it ("~name" is not);
    // - anything else is relative to the working folder.
    // Backslashes become slashes. A component that does not exist with that
    // exact case is matched against its folder's entries in any letter case,
    // as Wine does; a component that matches nothing is kept as written.
    // Letter case is folded for ASCII, Latin-1, Latin Extended-A, Greek and
    // Cyrillic; where several entries match, the first in byte order wins.
    // A prefix without dosdevices/c: has drive C: in its drive_c folder.
    std::string ToHostPath(const std::string& path) const;

    // The host path with every name taken as written, worked out without
    // looking at the disk. Whenever something exists there, ToHostPath gives
    // this very path.
    std::string AsWrittenHostPath(const std::string& path) const;

private:
    // Where a path starts on the host: the folder of its drive (empty for a
    // path that names no drive), and the part of the path below it. The
    // root has room for `roomForRest` more characters.
    struct Start {
        std::string root;
        std::string_view rest;
        char drive = 0;
    };
    Start StartOf(const std::string& path, std::size_t roomForRest) const;

    std::string prefix_;
    std::string home_;
};

// The file service for the drives of the Wine prefix `prefix`: the program's
// paths are mapped into it with a WinePathMapper.
std::unique_ptr<FileService> MakeWineFileService(const std::string& prefix);

} // namespace quorvel
