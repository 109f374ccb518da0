#pragma once

// The file service on the machine itself.
//
// Failures carry the system's own text ("No such file or directory"); reading
// a file that holds nothing fails with "the file is empty", and one that goes
// on past kMaxReadSize (whatever its size claims) fails too. Only plain files
// are opened: a folder fails as "Is a directory", and a pipe or a device fails
// rather than block. Inspect follows links; a link that leads nowhere counts
// as Other, not Missing, and CheckWritable refuses it, so that nothing is
// written through it unawares. OpenTextFile itself follows such a link as any
// program would, creating the file it points to.
//
// A replacement is written to a new file beside the replaced one, created
// exclusively, flushed with fsync and renamed over it, after which the folder
// is flushed. A file that is a link is replaced at the link's target, so the
// link stays.
//
// A folder is held by a descriptor: found a name at a time with openat and
// O_NOFOLLOW from the root (or the working folder), following only the
// player's and root's links, and every operation on its files is relative
// to that descriptor (openat, fstatat without following, renameat, unlinkat,
// fsync of the folder itself). A link at a file's name is resolved the same
// way, once, and its folder held too. A leftover is put in place with
// renameat2(RENAME_NOREPLACE), or where the file system lacks it as a second
// name (linkat, which never replaces) with the first removed. The folder lock
// is flock on a descriptor of the held folder's own.
//
// On Windows the system's text comes without its closing full stop ("Access
// is denied"), a folder fails as "the path is a folder", a file is emptied
// in place rather than replaced (so a hidden file stays hidden), and a file
// that another program is writing can still be read, as on POSIX systems.
// CheckWritable opens the file just as a stream would. A replacement is
// flushed with FlushFileBuffers, takes over the replaced file's attributes
// and is put in place with one MoveFileEx (MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH), so that the name never goes missing. The folder
// lock is a named mutex named after the folder's volume and file index, so
// every spelling of one folder meets it. Paths are handed to the W calls,
// past 260 characters as full \\?\ paths; a path with a character the code
// page could not hold, or too long for Windows, fails as such (see
// windows/file_paths.h), and a file marked read-only or a folder that refuses
// new files fails with what to do about it. A folder is held as a handle
// that lets others read and write in it but not delete or rename it, so its
// path leads to it for as long as it is held; its files are reached by path.

#include "platform/file_service.h"

#include <functional>
#include <string>

namespace quorvel {

// The failures that both systems word alike.
namespace host_failure {
inline constexpr const char* kClosed = "the file is already closed";
inline constexpr const char* kNotAFile = "not a regular file";
inline constexpr const char* kTooLarge = "the file goes on past 256 MiB, more than any "
                                         "configuration file holds";
} // namespace host_failure

class HostFileService : public FileService {
public:
    using PathMap = std::function<std::string(const std::string&)>;

    // `toHost` turns the program's paths into host paths; without one, paths
    // are used as they stand (as on Windows). `asWritten`, where given, gives
    // without looking at the disk the host path that toHost leads to
    // whenever something exists there (WinePathMapper::AsWrittenHostPath):
    // files are opened there first, and only when that fails is toHost asked.
    explicit HostFileService(PathMap toHost = {}, PathMap asWritten = {})
        : toHost_(std::move(toHost)), asWritten_(std::move(asWritten)) {}

    Result<std::unique_ptr<TextStream>> OpenTextFile(const std::string& path,
                                                     OpenMode mode) override;
    EntryInfo Inspect(const std::string& path) override;
    FileStatus CheckWritable(const std::string& path) override;
    Result<std::optional<FileIdentity>> Identify(const std::string& path) override;
    Result<std::unique_ptr<Replacement>> Replace(const std::string& path,
                                                 const std::string& like) override;
    FileStatus RestoreLeftover(const std::string& path) override;
    Result<std::unique_ptr<HeldFolder>> OpenFolder(const std::string& path) override;
    // The mapped path with its folders as they are on disk (through links
    // such as dosdevices/c:); empty without a mapping.
    std::string HostPathForMessages(const std::string& path) const override;

    std::string HostPathForCalls(const std::string& path) const {
        return toHost_ ? toHost_(path) : path;
    }

private:
    PathMap toHost_;
    PathMap asWritten_;
};

} // namespace quorvel
