#pragma once

// The game's files as the game sees them on Windows.
//
// The game, a 32-bit program without a manifest, has its writes below the
// protected folders sent to a per-user copy in %LOCALAPPDATA%\VirtualStore,
// and reads that copy wherever one exists (platform/virtual_store.h). This
// program is never redirected so, and does the same by hand, so that it
// reads and writes what the game reads:
//
// - reading, Inspect and the check before writing use the copy where one
//   exists, and the file otherwise;
// - writing goes into the copy where one exists, otherwise into the file,
//   and where the file's folder refuses with "access denied", into a new
//   copy, whose folders are made first; the check before writing follows
//   the same rule without making anything;
// - a file's identity, and a new file left behind by an earlier run, are
//   those of the copy where one exists;
// - HostPathForMessages names the copy where one exists, so that messages name the
//   file actually used;
// - a folder is held as the host holds it, and locked there; its files are
//   reached through the rules above.
//
// A copy that is there but is not a plain file (a folder, a link that leads
// nowhere) is refused rather than written through or passed over.

#include "platform/file_service.h"
#include "platform/virtual_store.h"

#include <memory>
#include <optional>
#include <string>

namespace quorvel {

class VirtualStoreFileService final : public FileService {
public:
    // The protected folders and %LOCALAPPDATA% are taken as the system sees
    // them (windows_paths::FinalPath), as is every path asked about. They are
    // resolved when first needed rather than here: resolving opens each of
    // them, which the program's start-up need not wait for.
    VirtualStoreFileService(std::unique_ptr<FileService> host, VirtualStoreEnvironment environment);

    Result<std::unique_ptr<TextStream>> OpenTextFile(const std::string& path,
                                                     OpenMode mode) override;
    EntryInfo Inspect(const std::string& path) override;
    FileStatus CheckWritable(const std::string& path) override;
    Result<std::optional<FileIdentity>> Identify(const std::string& path) override;
    Result<std::unique_ptr<Replacement>> Replace(const std::string& path,
                                                 const std::string& like) override;
    FileStatus RestoreLeftover(const std::string& path) override;
    Result<std::unique_ptr<HeldFolder>> OpenFolder(const std::string& path) override;
    std::string HostPathForMessages(const std::string& path) const override;

private:
    // The copy of `path`, by the rule applied to its folder as the system
    // sees it: 8.3 names, \\?\ forms, "..", letter case, junctions, links
    // and SUBST drives all come out as the folder they lead to.
    std::optional<std::string> CopyOf(const std::string& path) const;
    // The copy of `path` when it is there (in any form), else nullopt.
    std::optional<std::string> PresentCopy(const std::string& path) const;
    // Runs `write` on the file that a write to `path` goes to.
    template <typename T, typename Write> Result<T> Written(const std::string& path, Write write);
    // environment_, its folders resolved on the first call.
    const VirtualStoreEnvironment& ResolvedEnvironment() const;

    std::unique_ptr<FileService> host_;
    mutable VirtualStoreEnvironment environment_;
    mutable bool resolved_ = false;
};

// The environment's protected folders and %LOCALAPPDATA%, as this process sees them.
VirtualStoreEnvironment VirtualStoreEnvironmentFromProcess();

} // namespace quorvel
