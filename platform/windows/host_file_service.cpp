#include "platform/host_file_service.h"

#include "platform/folder_by_path.h"
#include "platform/host_file_common.h"
#include "platform/windows/file_paths.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <windows.h>

namespace quorvel {
namespace {

using namespace host_failure;
using windows_paths::WidePath;

// The folder in which a file at `path` would be created.
std::string ParentFolder(const std::string& path) {
    std::string folder = host_common::ParentFolder(path, "\\/");
    // "C:" alone would be the drive's current folder, not its root.
    if (folder.back() == ':') {
        folder += '\\';
    }
    return folder;
}

constexpr const char* kFolder = "the path is a folder";

// The longest path the W functions take.
constexpr std::size_t kLongestWidePath = 32768;

// Readers let other programs read and write meanwhile, as on POSIX systems; a
// writer lets them read. The checks open with the same sharing as the streams,
// so that what they say holds for the open that follows.
constexpr DWORD kReadSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kWriteSharing = FILE_SHARE_READ;

using windows_paths::SystemText;

// A failure with the system's code `code`, worded `text`.
FileStatus CodedFailure(DWORD code, std::string text) {
    return FileStatus::Failure(
        std::move(text), code == ERROR_ACCESS_DENIED ? FailureKind::Denied : FailureKind::Other,
        static_cast<int>(code));
}

FileStatus ErrorStatus(DWORD code) {
    return CodedFailure(code, SystemText(code));
}

FileStatus LastErrorStatus() {
    return ErrorStatus(GetLastError());
}

// The failure `error` of a call on `host`, worded with the next step where
// there is one (see file_paths.h).
std::string FailureText(DWORD error, const std::string& host, bool creating = false) {
    return windows_paths::FailureText(error, host, creating, SystemText(error));
}

// The same as a status, which says when access was denied.
FileStatus WordedFailure(DWORD error, const std::string& host, bool creating = false) {
    return CodedFailure(error, FailureText(error, host, creating));
}

// Opens a plain file on disk. A folder is refused as such, where Windows only
// says "access denied", and so is a device or a pipe, which could swallow
// what is written or block the reader.
HANDLE OpenPlainFile(const std::string& host, DWORD access, DWORD disposition, FileStatus& status) {
    const DWORD sharing = access == GENERIC_READ ? kReadSharing : kWriteSharing;
    const HANDLE handle = CreateFileW(WidePath(host).c_str(), access, sharing, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(WidePath(host).c_str());
        const bool folder = error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
                            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        status = folder ? FileStatus::Failure(kFolder) : WordedFailure(error, host);
        return INVALID_HANDLE_VALUE;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        status = FileStatus::Failure(kNotAFile);
        return INVALID_HANDLE_VALUE;
    }
    status = {};
    return handle;
}

// Opens and closes an existing file again, to learn whether the system
// allows it. Nothing on disk changes.
FileStatus TryOpen(const std::string& host, DWORD access) {
    FileStatus status;
    const HANDLE handle = OpenPlainFile(host, access, OPEN_EXISTING, status);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    return status;
}

// Writes all of `text` to the open file `handle`, in parts Windows accepts.
FileStatus WriteAll(HANDLE handle, std::string_view text) {
    while (!text.empty()) {
        const auto part = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
        DWORD put = 0;
        if (!WriteFile(handle, text.data(), part, &put, nullptr)) {
            return LastErrorStatus();
        }
        if (put == 0) {
            return FileStatus::Failure(SystemText(ERROR_WRITE_FAULT));
        }
        text.remove_prefix(put);
    }
    return {};
}

class WindowsStream final : public host_common::HostStream {
public:
    explicit WindowsStream(HANDLE handle) : handle_(handle) {}
    WindowsStream(const WindowsStream&) = delete;
    WindowsStream& operator=(const WindowsStream&) = delete;
    ~WindowsStream() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }

private:
    Result<std::string> ReadRest() override {
        // Whatever the file's size says, reading stops one chunk past the
        // limit.
        std::string all;
        char chunk[65536];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(handle_, chunk, sizeof chunk, &got, nullptr)) {
                return LastErrorStatus();
            }
            if (got == 0) {
                break;
            }
            if (all.size() + got > kMaxReadSize) {
                return FileStatus::Failure(kTooLarge);
            }
            all.append(chunk, got);
        }
        return all;
    }

    FileStatus CloseOpen() override {
        if (!CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE))) {
            return LastErrorStatus();
        }
        return {};
    }

    HANDLE handle_;
};

} // namespace

Result<std::unique_ptr<TextStream>> HostFileService::OpenTextFile(const std::string& path,
                                                                  OpenMode mode) {
    if (mode != OpenMode::Reading) {
        return FileStatus::Failure(SystemText(ERROR_INVALID_PARAMETER));
    }
    FileStatus status;
    const HANDLE handle =
        OpenPlainFile(HostPathForCalls(path), GENERIC_READ, OPEN_EXISTING, status);
    if (handle == INVALID_HANDLE_VALUE) {
        return status;
    }
    return std::make_unique<WindowsStream>(handle);
}

EntryInfo HostFileService::Inspect(const std::string& path) {
    const std::string host = HostPathForCalls(path);
    // A path that can never be reached is not taken for a missing one.
    if (windows_paths::Unreachable(host)) {
        return {EntryKind::Other, 0};
    }
    // Opened without asking for access, which follows links, works for
    // folders, conflicts with no other program and changes nothing.
    const HANDLE handle = CreateFileW(WidePath(host).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // Nothing there is Missing. Anything else that cannot be looked at,
        // such as a link to nothing, is something that a caller must not
        // overwrite blindly.
        const DWORD error = GetLastError();
        const bool nothing = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) &&
                             GetFileAttributesW(WidePath(host).c_str()) == INVALID_FILE_ATTRIBUTES;
        return {nothing ? EntryKind::Missing : EntryKind::Other, 0};
    }
    EntryInfo entry{EntryKind::Other, 0};
    BY_HANDLE_FILE_INFORMATION data;
    // A device such as NUL is no file, whatever attributes it shows.
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &data)) {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            entry.kind = EntryKind::Folder;
        } else {
            entry = {EntryKind::File,
                     (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
        }
    }
    CloseHandle(handle);
    return entry;
}

FileStatus HostFileService::CheckWritable(const std::string& path) {
    const std::string host = HostPathForCalls(path);
    const DWORD attributes = GetFileAttributesW(WidePath(host).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            return FileStatus::Failure(kFolder);
        }
        // A read-only file may still open for writing (Wine lets root), but
        // it cannot be replaced: say so now, as the replacement would.
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            return FileStatus::Failure(FailureText(ERROR_ACCESS_DENIED, host));
        }
        return TryOpen(host, GENERIC_WRITE);
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) {
        return WordedFailure(error, host);
    }
    const DWORD folder = GetFileAttributesW(WidePath(ParentFolder(host)).c_str());
    if (folder == INVALID_FILE_ATTRIBUTES) {
        return WordedFailure(GetLastError(), host);
    }
    if (!(folder & FILE_ATTRIBUTE_DIRECTORY)) {
        return FileStatus::Failure(SystemText(ERROR_DIRECTORY));
    }
    return {};
}

namespace {

// The attributes a new file takes over from the file it replaces: a hidden
// file stays hidden. Read-only is not among them: such a file is refused.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Paths of a replacement: the replaced file as the program names it (for
// messages) and both files as the system calls take them.
struct ReplacementPaths {
    std::string target;
    std::wstring wideTarget;
    std::wstring wideNew;
    // Missing when the replacement began: it is put in place only while it
    // still is, never over a file made meanwhile.
    bool targetMissing = false;
};

class WindowsReplacement final : public host_common::HostReplacement {
public:
    WindowsReplacement(HANDLE handle, ReplacementPaths paths)
        : handle_(handle), paths_(std::move(paths)) {}
    WindowsReplacement(const WindowsReplacement&) = delete;
    WindowsReplacement& operator=(const WindowsReplacement&) = delete;
    ~WindowsReplacement() override { DiscardUnlessInPlace(); }

    // MOVEFILE_WRITE_THROUGH has flushed the move already.
    FileStatus FlushFolder() override { return {}; }

private:
    FileStatus WriteOpen(std::string_view text) override { return WriteAll(handle_, text); }

    FileStatus FlushAndClose() override {
        const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
        FileStatus status = FlushFileBuffers(handle) ? FileStatus::Success() : LastErrorStatus();
        if (!CloseHandle(handle) && status) {
            status = LastErrorStatus();
        }
        return status;
    }

    // One rename that replaces the old file (Wine makes it one rename(2)),
    // so that the name always holds the old file or the new one. ReplaceFile
    // is not used: it moves the old file away first and can stop half way.
    FileStatus MoveInPlace() override {
        const DWORD attributes = GetFileAttributesW(paths_.wideTarget.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKeptAttributes) != 0 &&
            !SetFileAttributesW(paths_.wideNew.c_str(), attributes & kKeptAttributes)) {
            return LastErrorStatus();
        }
        const DWORD replacing = paths_.targetMissing ? 0 : MOVEFILE_REPLACE_EXISTING;
        if (!MoveFileExW(paths_.wideNew.c_str(), paths_.wideTarget.c_str(),
                         replacing | MOVEFILE_WRITE_THROUGH)) {
            return WordedFailure(GetLastError(), paths_.target);
        }
        return {};
    }

    void CloseUnflushed() override { CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)); }

    FileStatus RemoveNew() override {
        if (!DeleteFileW(paths_.wideNew.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            return LastErrorStatus();
        }
        return {};
    }

    HANDLE handle_;
    ReplacementPaths paths_;
};

// The file a replacement of `host` replaces: the file itself, or for a
// symbolic link the file it leads to, so that the link stays a link.
ReplacementPaths ReplacedFile(const std::string& host) {
    ReplacementPaths paths{host, WidePath(host), {}};
    const DWORD attributes = GetFileAttributesW(paths.wideTarget.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        const HANDLE handle = CreateFileW(
            paths.wideTarget.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            std::wstring resolved(kLongestWidePath, L'\0');
            const DWORD length = GetFinalPathNameByHandleW(handle, resolved.data(),
                                                           static_cast<DWORD>(resolved.size()), 0);
            CloseHandle(handle);
            if (length > 0 && length < resolved.size()) {
                resolved.resize(length);
                paths.wideTarget = std::move(resolved);
            }
        }
    }
    paths.wideNew =
        paths.wideTarget + std::wstring(kReplacementSuffix.begin(), kReplacementSuffix.end());
    return paths;
}

class MutexFolderLock final : public FolderLock {
public:
    explicit MutexFolderLock(HANDLE mutex) : mutex_(mutex) {}
    MutexFolderLock(const MutexFolderLock&) = delete;
    MutexFolderLock& operator=(const MutexFolderLock&) = delete;
    ~MutexFolderLock() override { CloseHandle(mutex_); }

private:
    HANDLE mutex_;
};

// A name for the folder's mutex from what the folder is rather than how it
// is spelled: its volume's serial number and its file index, the same
// through every drive letter, link or letter case that reaches it.
std::string MutexNameFor(const FileIdentity& folder) {
    char name[64];
    std::snprintf(name, sizeof name, "Local\\quorvel-install-%08lx-%08lx%08lx",
                  static_cast<unsigned long>(folder.volume),
                  static_cast<unsigned long>(folder.index >> 32),
                  static_cast<unsigned long>(folder.index & 0xffffffffu));
    return std::string(name);
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& data) {
    return {data.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow};
}

// A folder held open: others may read and write in it, but while it is held
// Windows lets no one delete, rename or replace it (nor a folder above it),
// so its path leads to it throughout.
class WindowsHeldFolder final : public FolderByPath {
public:
    WindowsHeldFolder(FileOperations& files, HANDLE handle, FileIdentity identity)
        : FolderByPath(files), handle_(handle), identity_(identity) {}
    WindowsHeldFolder(const WindowsHeldFolder&) = delete;
    WindowsHeldFolder& operator=(const WindowsHeldFolder&) = delete;
    ~WindowsHeldFolder() override { CloseHandle(handle_); }

    FileIdentity Identity() const override { return identity_; }

    Result<std::unique_ptr<FolderLock>> Lock() override {
        // The mutex exists while any program holds it, and Windows closes it
        // with the program that made it, however that program ends.
        const HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexNameFor(identity_).c_str());
        if (mutex == nullptr) {
            return LastErrorStatus();
        }
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex);
            return FileStatus::Busy(SystemText(ERROR_LOCK_VIOLATION), ERROR_LOCK_VIOLATION);
        }
        return std::unique_ptr<FolderLock>(std::make_unique<MutexFolderLock>(mutex));
    }

private:
    HANDLE handle_;
    FileIdentity identity_;
};

} // namespace

Result<std::optional<FileIdentity>> HostFileService::Identify(const std::string& path) {
    const HANDLE handle = CreateFileW(WidePath(HostPathForCalls(path)).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return std::optional<FileIdentity>();
        }
        return FileStatus::Failure(SystemText(error));
    }
    BY_HANDLE_FILE_INFORMATION data;
    const bool known = GetFileInformationByHandle(handle, &data) != 0;
    const FileStatus failure = known ? FileStatus::Success() : LastErrorStatus();
    CloseHandle(handle);
    if (!known) {
        return failure;
    }
    return std::optional<FileIdentity>(IdentityOf(data));
}

FileStatus HostFileService::RestoreLeftover(const std::string& path) {
    const std::string host = HostPathForCalls(path);
    const std::string leftover = host + std::string(kReplacementSuffix);
    // Without MOVEFILE_REPLACE_EXISTING: never over a file that is there.
    if (!MoveFileExW(WidePath(leftover).c_str(), WidePath(host).c_str(), MOVEFILE_WRITE_THROUGH)) {
        return LastErrorStatus();
    }
    return {};
}

// Windows gives a new file the permissions its folder passes on; `like`
// matters only where permission bits are the file's own.
Result<std::unique_ptr<Replacement>> HostFileService::Replace(const std::string& path,
                                                              const std::string& /*like*/) {
    ReplacementPaths paths = ReplacedFile(HostPathForCalls(path));
    // A folder is never replaced by a file (Wine would move a file over an
    // empty one). A file marked read-only is the player's to unmark: Windows
    // refuses to replace it, and so does this program, under Wine too.
    const DWORD attributes = GetFileAttributesW(paths.wideTarget.c_str());
    paths.targetMissing = attributes == INVALID_FILE_ATTRIBUTES;
    if (!paths.targetMissing) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return FileStatus::Failure(kFolder);
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return FileStatus::Failure(FailureText(ERROR_ACCESS_DENIED, paths.target));
        }
    }
    // A new file left by a run that stopped half way is ours to remove.
    if (!DeleteFileW(paths.wideNew.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return LastErrorStatus();
    }
    // CREATE_NEW: never through a link, never into a file someone else made.
    const HANDLE handle = CreateFileW(paths.wideNew.c_str(), GENERIC_WRITE, kWriteSharing, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return WordedFailure(GetLastError(), paths.target, true);
    }
    return std::unique_ptr<Replacement>(
        std::make_unique<WindowsReplacement>(handle, std::move(paths)));
}

std::string HostFileService::HostPathForMessages(const std::string& path) const {
    // Paths are used as they stand, unless a test maps them.
    return toHost_ ? toHost_(path) : std::string();
}

Result<std::unique_ptr<HeldFolder>> HostFileService::OpenFolder(const std::string& path) {
    const std::string host = HostPathForCalls(path);
    // Reading the folder's list is what makes Windows keep the sharing
    // asked for; without FILE_SHARE_DELETE nothing renames it meanwhile.
    const HANDLE handle = CreateFileW(WidePath(host).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return WordedFailure(GetLastError(), host);
    }
    BY_HANDLE_FILE_INFORMATION data;
    const bool known = GetFileInformationByHandle(handle, &data) != 0;
    const DWORD error = GetLastError();
    if (!known || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        CloseHandle(handle);
        return known ? FileStatus::Failure(SystemText(ERROR_DIRECTORY))
                     : WordedFailure(error, host);
    }
    return std::unique_ptr<HeldFolder>(
        std::make_unique<WindowsHeldFolder>(*this, handle, IdentityOf(data)));
}

} // namespace quorvel
