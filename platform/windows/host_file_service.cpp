#include "platform/host_file_service.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <windows.h>

namespace quorvel {
namespace {

using namespace host_failure;

// The folder in which a file at `path` would be created.
std::string ParentFolder(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) {
        return ".";
    }
    if (cut == 0) {
        return path.substr(0, 1);
    }
    std::string folder = path.substr(0, cut);
    // "C:" alone would be the drive's current folder, not its root.
    if (folder.back() == ':') {
        folder += '\\';
    }
    return folder;
}

constexpr const char* kFolder = "the path is a folder";

// Readers let other programs read and write meanwhile, as on POSIX systems; a
// writer lets them read. The checks open with the same sharing as the streams,
// so that what they say holds for the open that follows.
constexpr DWORD kReadSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kWriteSharing = FILE_SHARE_READ;

// The system's text for an error, worded like strerror's: no closing full
// stop or line end, since callers put it inside sentences of their own.
std::string SystemMessage(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
    }
    if (buffer != nullptr) {
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text.empty() ? "system error " + std::to_string(code) : text;
}

FileStatus ErrorStatus(DWORD code) {
    return code == ERROR_ACCESS_DENIED ? FileStatus::Denied(SystemMessage(code))
                                       : FileStatus::Failure(SystemMessage(code));
}

FileStatus LastErrorStatus() {
    return ErrorStatus(GetLastError());
}

// Opens a plain file on disk. A folder is refused as such, where Windows only
// says "access denied", and so is a device or a pipe, which could swallow
// what is written or block the reader.
HANDLE OpenPlainFile(const std::string& host, DWORD access, DWORD disposition, FileStatus& status) {
    const DWORD sharing = access == GENERIC_READ ? kReadSharing : kWriteSharing;
    const HANDLE handle = CreateFileA(host.c_str(), access, sharing, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesA(host.c_str());
        const bool folder = error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
                            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        status = folder ? FileStatus::Failure(kFolder) : ErrorStatus(error);
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
            return FileStatus::Failure(SystemMessage(ERROR_WRITE_FAULT));
        }
        text.remove_prefix(put);
    }
    return {};
}

class WindowsStream final : public TextStream {
public:
    explicit WindowsStream(HANDLE handle) : handle_(handle) {}
    WindowsStream(const WindowsStream&) = delete;
    WindowsStream& operator=(const WindowsStream&) = delete;
    ~WindowsStream() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }

    Result<std::string> ReadAll() override {
        if (handle_ == INVALID_HANDLE_VALUE) {
            return FileStatus::Failure(kClosed);
        }
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
        if (all.empty()) {
            return FileStatus::Failure(kEmptyFile);
        }
        return all;
    }

    FileStatus Close() override {
        if (handle_ == INVALID_HANDLE_VALUE) {
            return FileStatus::Failure(kClosed);
        }
        if (!CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE))) {
            return LastErrorStatus();
        }
        return {};
    }

private:
    HANDLE handle_;
};

} // namespace

Result<std::unique_ptr<TextStream>> HostFileService::OpenTextFile(const std::string& path,
                                                                  OpenMode mode) {
    if (mode != OpenMode::Reading) {
        return FileStatus::Failure(SystemMessage(ERROR_INVALID_PARAMETER));
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
    // Opened without asking for access, which follows links, works for
    // folders, conflicts with no other program and changes nothing.
    const HANDLE handle =
        CreateFileA(host.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // Nothing there is Missing. Anything else that cannot be looked at,
        // such as a link to nothing, is something that a caller must not
        // overwrite blindly.
        const DWORD error = GetLastError();
        const bool nothing = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) &&
                             GetFileAttributesA(host.c_str()) == INVALID_FILE_ATTRIBUTES;
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
    const DWORD attributes = GetFileAttributesA(host.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            return FileStatus::Failure(kFolder);
        }
        return TryOpen(host, GENERIC_WRITE);
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) {
        return FileStatus::Failure(SystemMessage(error));
    }
    const DWORD folder = GetFileAttributesA(ParentFolder(host).c_str());
    if (folder == INVALID_FILE_ATTRIBUTES) {
        return LastErrorStatus();
    }
    if (!(folder & FILE_ATTRIBUTE_DIRECTORY)) {
        return FileStatus::Failure(SystemMessage(ERROR_DIRECTORY));
    }
    return {};
}

namespace {

class WindowsReplacement final : public Replacement {
public:
    WindowsReplacement(HANDLE handle, std::string newPath, std::string target)
        : handle_(handle), newPath_(std::move(newPath)), target_(std::move(target)) {}
    WindowsReplacement(const WindowsReplacement&) = delete;
    WindowsReplacement& operator=(const WindowsReplacement&) = delete;
    ~WindowsReplacement() override {
        if (!inPlace_) {
            (void)Discard();
        }
    }

    FileStatus Write(std::string_view text) override {
        if (handle_ == INVALID_HANDLE_VALUE) {
            return FileStatus::Failure(kClosed);
        }
        return WriteAll(handle_, text);
    }

    FileStatus Finish() override {
        if (handle_ == INVALID_HANDLE_VALUE) {
            return FileStatus::Failure(kClosed);
        }
        const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
        FileStatus status = FlushFileBuffers(handle) ? FileStatus::Success() : LastErrorStatus();
        if (!CloseHandle(handle) && status) {
            status = LastErrorStatus();
        }
        return status;
    }

    FileStatus PutInPlace() override {
        if (handle_ != INVALID_HANDLE_VALUE || removed_ || inPlace_) {
            return FileStatus::Failure(kClosed);
        }
        // ReplaceFile keeps the replaced file's attributes (a hidden file
        // stays hidden) and its security; a file that is not there yet is
        // simply moved into place. The attributes are given to the new file
        // first as well, for systems whose ReplaceFile only renames (Wine).
        const DWORD attributes = GetFileAttributesA(target_.c_str());
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) != 0 &&
            !SetFileAttributesA(newPath_.c_str(), attributes & kKept)) {
            return LastErrorStatus();
        }
        const bool moved =
            attributes != INVALID_FILE_ATTRIBUTES
                ? ReplaceFileA(target_.c_str(), newPath_.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                : MoveFileExA(newPath_.c_str(), target_.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!moved) {
            return LastErrorStatus();
        }
        inPlace_ = true;
        return {};
    }

    // Windows writes a folder's entries through on its own.
    FileStatus FlushFolder() override { return {}; }

    FileStatus Discard() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
        }
        if (inPlace_ || removed_) {
            return {};
        }
        if (!DeleteFileA(newPath_.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            return LastErrorStatus();
        }
        removed_ = true;
        return {};
    }

private:
    HANDLE handle_;
    std::string newPath_;
    std::string target_;
    bool inPlace_ = false;
    bool removed_ = false;
};

// The file a replacement of `host` replaces: the file itself, or for a
// symbolic link the file it leads to, so that the link stays a link.
std::string ReplacedFile(const std::string& host) {
    const DWORD attributes = GetFileAttributesA(host.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return host;
    }
    const HANDLE handle =
        CreateFileA(host.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return host;
    }
    char resolved[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(handle, resolved, sizeof resolved, 0);
    CloseHandle(handle);
    return length > 0 && length < sizeof resolved ? std::string(resolved, length) : host;
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

// A name for the folder's mutex: the folder's full path in capitals, hashed
// (FNV-1a), since a mutex name may not hold backslashes.
std::string MutexNameFor(const std::string& host) {
    char full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameA(host.c_str(), sizeof full, full, nullptr);
    std::string path = length > 0 && length < sizeof full ? std::string(full, length) : host;
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) {
        path.pop_back();
    }
    CharUpperBuffA(path.data(), static_cast<DWORD>(path.size()));
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : path) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "Local\\quorvel-install-%016llx",
                  static_cast<unsigned long long>(hash));
    return name;
}

} // namespace

Result<std::optional<FileIdentity>> HostFileService::Identify(const std::string& path) {
    const HANDLE handle = CreateFileA(HostPathForCalls(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return std::optional<FileIdentity>();
        }
        return FileStatus::Failure(SystemMessage(error));
    }
    BY_HANDLE_FILE_INFORMATION data;
    const bool known = GetFileInformationByHandle(handle, &data) != 0;
    const FileStatus failure = known ? FileStatus::Success() : LastErrorStatus();
    CloseHandle(handle);
    if (!known) {
        return failure;
    }
    return std::optional<FileIdentity>(
        FileIdentity{data.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow});
}

FileStatus HostFileService::RestoreLeftover(const std::string& path) {
    const std::string host = HostPathForCalls(path);
    const std::string leftover = host + std::string(kReplacementSuffix);
    // Without MOVEFILE_REPLACE_EXISTING: never over a file that is there.
    if (!MoveFileExA(leftover.c_str(), host.c_str(), MOVEFILE_WRITE_THROUGH)) {
        return LastErrorStatus();
    }
    return {};
}

// Windows gives a new file the permissions its folder passes on; `like`
// matters only where permission bits are the file's own.
Result<std::unique_ptr<Replacement>> HostFileService::Replace(const std::string& path,
                                                              const std::string& /*like*/) {
    const std::string target = ReplacedFile(HostPathForCalls(path));
    std::string newPath = target + std::string(kReplacementSuffix);
    // A new file left by a run that stopped half way is ours to remove.
    if (!DeleteFileA(newPath.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return LastErrorStatus();
    }
    // CREATE_NEW: never through a link, never into a file someone else made.
    const HANDLE handle = CreateFileA(newPath.c_str(), GENERIC_WRITE, kWriteSharing, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastErrorStatus();
    }
    return std::unique_ptr<Replacement>(
        std::make_unique<WindowsReplacement>(handle, std::move(newPath), target));
}

std::string HostFileService::HostPathForMessages(const std::string& path) const {
    // Paths are used as they stand, unless a test maps them.
    return toHost_ ? toHost_(path) : std::string();
}

Result<std::unique_ptr<FolderLock>> HostFileService::LockFolder(const std::string& folder) {
    const std::string host = HostPathForCalls(folder);
    const DWORD attributes = GetFileAttributesA(host.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return LastErrorStatus();
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return FileStatus::Failure(SystemMessage(ERROR_DIRECTORY));
    }
    // The mutex exists while any program holds it, and Windows closes it
    // with the program that made it, however that program ends.
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexNameFor(host).c_str());
    if (mutex == nullptr) {
        return LastErrorStatus();
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return FileStatus::Busy(SystemMessage(ERROR_LOCK_VIOLATION));
    }
    return std::unique_ptr<FolderLock>(std::make_unique<MutexFolderLock>(mutex));
}

} // namespace quorvel
