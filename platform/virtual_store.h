#pragma once

// Where Windows keeps a per-user copy of a file below a protected folder.
//
// A 32-bit program without a manifest, such as the game, has its writes in
// %ProgramFiles%, %ProgramFiles(x86)%, %SystemRoot% and %ProgramData% sent to
// a copy in %LOCALAPPDATA%\VirtualStore, and reads that copy wherever one
// exists. This is the rule that names the copy, worked out on the text of the
// paths alone: no file is looked at, and the environment's values are passed
// in, so that it reads the same on every system.

#include <optional>
#include <string>
#include <vector>

namespace quorvel {

struct VirtualStoreEnvironment {
    // The protected folders: the values of %ProgramFiles%,
    // %ProgramFiles(x86)%, %SystemRoot% and %ProgramData%. Empty or relative
    // ones protect nothing.
    std::vector<std::string> protectedRoots;
    // %LOCALAPPDATA%; where it is empty or relative, nothing is redirected.
    std::string localAppData;
};

// The per-user copy of `path`, for a path strictly below a protected folder:
// %LOCALAPPDATA%\VirtualStore\ followed by the path without its drive, such
// as ...\VirtualStore\Program Files (x86)\MOHAA\mainta\custom.cfg. Folders are
// compared without regard to ASCII letter case; "/" counts as "\", and empty,
// "." and ".." parts are resolved as Windows resolves them. nullopt for any
// other path: outside the protected folders, a protected folder itself, a
// relative path, a path on the current drive's root ("\..."), a UNC or device
// path ("\\...").
std::optional<std::string> VirtualStoreCopy(const std::string& path,
                                            const VirtualStoreEnvironment& environment);

} // namespace quorvel
