#pragma once

// The text-file service: the only way the program touches its files.
//
// Paths are the program's own, Windows-style paths, such as
// C:\Games\MOHAA\mainta\custom.cfg. On Windows they are used as they stand; elsewhere the service
// maps them to the host's file system (see path_mapping.h). Text is bytes: the
// service never converts, adds or drops a character.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

namespace quorvel {

// Whose a file or folder is that may not be written, and why, where the
// system tells (POSIX): what the player needs to make it writable.
struct WriteRefusal {
    std::string hostPath; // the file, or the folder a new file would go in
    bool folder = false;
    std::string owner;          // its owner's user name, else "uid N"
    bool playersOwn = false;    // the player owns it
    bool readOnlyMount = false; // its file system is mounted read-only
};

// What kind of failure a file operation met, where the program acts on it.
enum class FailureKind {
    None,   // no failure
    Other,  // anything the program only reports
    Empty,  // reading a file that holds nothing
    Busy,   // a lock that another program holds
    Denied, // the system refused access (where it says so)
};

// Why reading a file that holds nothing fails. The program treats an empty
// file like a missing one.
inline constexpr const char* kEmptyFileReason = "the file is empty";

// The outcome of one file operation. A failure carries its kind, the
// system's reason and its error code (errno or GetLastError, 0 where the
// failure is the program's own), and `refusal` who may change what refused.
struct [[nodiscard]] FileStatus {
    bool ok = true;
    std::string reason;
    FailureKind kind = FailureKind::None;
    int code = 0;
    std::optional<WriteRefusal> refusal{};

    static FileStatus Success() { return {}; }
    static FileStatus Failure(std::string why, FailureKind kind = FailureKind::Other,
                              int code = 0) {
        return {false, std::move(why), kind, code};
    }
    static FileStatus Busy(std::string why, int code = 0) {
        return Failure(std::move(why), FailureKind::Busy, code);
    }
    static FileStatus Empty() { return Failure(kEmptyFileReason, FailureKind::Empty); }
    explicit operator bool() const { return ok; }
};

// What an operation yields: a value, or the failure that stopped it. Asking a
// failure for its value is a programming error, and throws.
template <typename T> class [[nodiscard]] Result {
public:
    template <typename U>
    requires std::is_convertible_v<U&&, T> &&
        (!std::is_same_v<std::decay_t<U>, FileStatus>)Result(U&& value)
        : held_(std::in_place_index<0>, std::forward<U>(value)) {}
    Result(FileStatus failure) : held_(std::move(failure)) {
        if (std::get<FileStatus>(held_).ok) {
            throw std::logic_error("a Result made from a success holds no value");
        }
    }

    explicit operator bool() const { return std::holds_alternative<T>(held_); }

    // Success, or the failure.
    FileStatus Status() const {
        return *this ? FileStatus::Success() : std::get<FileStatus>(held_);
    }

    T& Value() {
        if (!*this) {
            throw std::logic_error("the value of a failed Result");
        }
        return std::get<T>(held_);
    }
    T& operator*() { return Value(); }
    T* operator->() { return &Value(); }

private:
    std::variant<T, FileStatus> held_;
};

// The most any read takes in. The largest files the program is made for hold
// about 100 MB; anything that goes on past this limit (a device or a /proc
// file that never ends, whatever size it claims) is not a configuration file.
inline constexpr std::uint64_t kMaxReadSize = std::uint64_t{256} << 20;

// The modes of OpenTextFile. Files are only ever read through a stream;
// they are written whole through Replace.
enum class OpenMode : int {
    // Positioned at the start of an existing file; a missing file is an error.
    Reading = 1,
};

// An open file. Every stream is closed exactly once: by Close, or by its
// destructor when Close was never called.
class TextStream {
public:
    virtual ~TextStream() = default;

    // The whole text from the current position to the end. Fails for a file
    // that holds nothing (reading past its end, as FileStatus::Empty), for
    // one longer than kMaxReadSize whatever its size claims, and on read
    // errors.
    virtual Result<std::string> ReadAll() = 0;

    // Closes the stream.
    virtual FileStatus Close() = 0;
};

// The new content of a file, written beside it and then put in its place in
// one step, so that the file holds either all of its old bytes or all of its
// new ones, whenever the program or the machine stops.
//
// The new file lives in the folder of the file it replaces (of a link's
// target, for a link), under the replaced file's name and
// kReplacementSuffix. Destroying a replacement that was not put in place
// removes the new file.
class Replacement {
public:
    virtual ~Replacement() = default;

    // Writes exactly the bytes given, after those written before.
    virtual FileStatus Write(std::string_view text) = 0;

    // Flushes everything written to the disk and closes the new file.
    virtual FileStatus Finish() = 0;

    // Moves the finished file over the one it replaces in one step, keeping
    // that one's permissions (and owner where allowed); where there was none
    // when the replacement began, only while there still is none. Fails
    // unless Finish succeeded. On failure nothing has moved.
    virtual FileStatus PutInPlace() = 0;

    // Flushes the folder after PutInPlace, so that the move outlasts a power
    // cut (where the system needs it; elsewhere it succeeds at once).
    virtual FileStatus FlushFolder() = 0;

    // Removes the new file; the file it would have replaced stays as it is.
    virtual FileStatus Discard() = 0;
};

// The name ending of a replacement's new file.
inline constexpr std::string_view kReplacementSuffix = ".quorvel-new";

// Held while one program installs into a folder; released when destroyed,
// or when the program ends in any way.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

// Which file a name leads to: device and inode on POSIX systems, volume
// serial number and file index on Windows. Two names with one identity are
// one file.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

enum class EntryKind { Missing, File, Folder, Other };

struct EntryInfo {
    EntryKind kind = EntryKind::Missing;
    std::uint64_t size = 0;   // bytes, for a file
    bool throughLink = false; // reached through a link at its own name
};

// The operations on files named by path. `FileService` offers them for any
// path; a `HeldFolder` for the files directly inside the one folder it holds.
class FileOperations {
public:
    virtual ~FileOperations() = default;

    // Opens a stream. Folders are never created, and only plain files open:
    // nothing waits on a pipe or a device.
    virtual Result<std::unique_ptr<TextStream>> OpenTextFile(const std::string& path,
                                                             OpenMode mode) = 0;

    // What is at `path`, without opening or changing anything.
    virtual EntryInfo Inspect(const std::string& path) = 0;

    // Whether `path` could be opened for writing (created where missing)
    // right now. Nothing on disk is created, emptied or otherwise changed.
    virtual FileStatus CheckWritable(const std::string& path) = 0;

    // The identity of the file at `path`, links followed; nullopt when
    // nothing is there.
    virtual Result<std::optional<FileIdentity>> Identify(const std::string& path) = 0;

    // Starts a new file to replace `path` (which may be missing). A new file
    // left at that name by an earlier run is removed first. The new file is
    // never more open than the one it replaces; where `path` is missing it
    // takes the permissions of `like` (or stays private to the player when
    // `like` is empty, missing too, or another user's).
    virtual Result<std::unique_ptr<Replacement>> Replace(const std::string& path,
                                                         const std::string& like) = 0;

    // Puts a new file that an earlier run left behind (`path` followed by
    // kReplacementSuffix) in place as `path`, which is missing, and flushes
    // the folder. Fails, and moves nothing, where `path` exists by then, and
    // where the new file is not a plain file of the player's (a link, a pipe,
    // a folder, or where the system keeps owners, another user's file).
    virtual FileStatus RestoreLeftover(const std::string& path) = 0;

    // Where `path` lives on the host's own file system, for messages; empty
    // where paths are used as they stand.
    virtual std::string HostPathForMessages(const std::string& path) const = 0;
};

// A folder found once and held open until destroyed. Its operations take the
// program's paths of files directly inside it (its own path, a backslash and
// a name), and act on this very folder, whatever its path leads to
// meanwhile: a folder renamed, or another put in its place, is not followed.
// A link the player (or the system) made at a file's name is followed, once;
// another user's is refused.
class HeldFolder : public FileOperations {
public:
    // Which folder is held.
    virtual FileIdentity Identity() const = 0;

    // Locks the folder against other copies of the program. A lock another
    // program holds fails at once, as FileStatus::Busy.
    virtual Result<std::unique_ptr<FolderLock>> Lock() = 0;
};

class FileService : public FileOperations {
public:
    // Finds the folder at `path` and holds it. Links on the way are followed
    // only when they are the player's or the system's; another user's link
    // is refused, and named with its owner. Something that is not a folder
    // fails.
    virtual Result<std::unique_ptr<HeldFolder>> OpenFolder(const std::string& path) = 0;
};

} // namespace quorvel
