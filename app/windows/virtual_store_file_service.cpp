#include "app/windows/virtual_store_file_service.h"

#include "platform/folder_by_path.h"
#include "platform/windows/file_paths.h"

#include <vector>
#include <windows.h>

namespace quorvel {
namespace {

// The folders that hold `path`, from the innermost out, down to the drive's root.
std::vector<std::string> FoldersAbove(const std::string& path) {
    std::vector<std::string> folders;
    for (std::size_t cut = path.find_last_of('\\'); cut != std::string::npos && cut > 2;
         cut = path.find_last_of('\\', cut - 1)) {
        folders.push_back(path.substr(0, cut));
    }
    return folders;
}

// Whether a new file could be made in `folder` now, asked of the folder's
// security without making one. Wine does not answer this for a folder its
// host refuses to write; the write itself then finds out.
bool TakesNewFiles(const std::string& folder) {
    const HANDLE handle = CreateFileW(windows_paths::WidePath(folder).c_str(), FILE_ADD_FILE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError() != ERROR_ACCESS_DENIED;
    }
    CloseHandle(handle);
    return true;
}

std::string NotAFolder(const std::string& copy, const std::string& folder) {
    return "its copy " + copy + " cannot be made, since " + folder + " is not a folder";
}

// Whether the folders of a new copy could be made: the nearest one that
// exists must be a folder. Nothing is made.
FileStatus CheckCopyCanBeMade(FileService& host, const std::string& copy) {
    for (const std::string& folder : FoldersAbove(copy)) {
        const EntryKind kind = host.Inspect(folder).kind;
        if (kind == EntryKind::Folder) {
            return {};
        }
        if (kind != EntryKind::Missing) {
            return FileStatus::Failure(NotAFolder(copy, folder));
        }
    }
    return FileStatus::Failure(NotAFolder(copy, copy.substr(0, 3)));
}

// Makes the folders of a new copy, outermost first.
FileStatus MakeFoldersOf(FileService& host, const std::string& copy) {
    const std::vector<std::string> folders = FoldersAbove(copy);
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        const EntryKind kind = host.Inspect(*folder).kind;
        if (kind == EntryKind::Folder) {
            continue;
        }
        if (kind != EntryKind::Missing) {
            return FileStatus::Failure(NotAFolder(copy, *folder));
        }
        if (!CreateDirectoryW(windows_paths::WidePath(*folder).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return FileStatus::Failure("the folder " + *folder + " cannot be made for its copy: " +
                                       windows_paths::SystemText(GetLastError()));
        }
    }
    return {};
}

std::string Environment(const wchar_t* name) {
    std::vector<wchar_t> value(32768);
    const DWORD length =
        GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return length > 0 && length < value.size()
               ? windows_paths::ProgramText(std::wstring_view(value.data(), length))
               : std::string();
}

// The folder that holds `path`, as the system sees it, and the file's name.
std::string Resolved(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) {
        return windows_paths::FinalPath(path);
    }
    const std::string folder = windows_paths::FinalPath(path.substr(0, cut == 0 ? 1 : cut));
    const bool separated = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    return folder + (separated ? "" : "\\") + path.substr(cut + 1);
}

// A protected folder or %LOCALAPPDATA% as the system sees it; an empty or
// relative one stays as it is, which redirects nothing.
std::string ResolvedRoot(const std::string& root) {
    return root.size() >= 3 && root[1] == ':' ? windows_paths::FinalPath(root) : root;
}

// A folder the host holds, whose files are reached through the copies' rules.
class StoreFolder final : public FolderByPath {
public:
    StoreFolder(FileOperations& files, std::unique_ptr<HeldFolder> held)
        : FolderByPath(files), held_(std::move(held)) {}
    FileIdentity Identity() const override { return held_->Identity(); }
    Result<std::unique_ptr<FolderLock>> Lock() override { return held_->Lock(); }

private:
    std::unique_ptr<HeldFolder> held_;
};

} // namespace

VirtualStoreFileService::VirtualStoreFileService(std::unique_ptr<FileService> host,
                                                 VirtualStoreEnvironment environment)
    : host_(std::move(host)), environment_(std::move(environment)) {}

const VirtualStoreEnvironment& VirtualStoreFileService::ResolvedEnvironment() const {
    if (!resolved_) {
        resolved_ = true;
        for (std::string& root : environment_.protectedRoots) {
            root = ResolvedRoot(root);
        }
        environment_.localAppData = ResolvedRoot(environment_.localAppData);
    }
    return environment_;
}

std::optional<std::string> VirtualStoreFileService::CopyOf(const std::string& path) const {
    return VirtualStoreCopy(Resolved(path), ResolvedEnvironment());
}

std::optional<std::string> VirtualStoreFileService::PresentCopy(const std::string& path) const {
    std::optional<std::string> copy = CopyOf(path);
    if (copy && host_->Inspect(*copy).kind == EntryKind::Missing) {
        copy.reset();
    }
    return copy;
}

template <typename T, typename Write>
Result<T> VirtualStoreFileService::Written(const std::string& path, Write write) {
    const std::optional<std::string> copy = CopyOf(path);
    if (!copy) {
        return write(path);
    }
    if (const EntryInfo info = host_->Inspect(*copy); info.kind != EntryKind::Missing) {
        if (info.kind == EntryKind::Other) {
            return FileStatus::Failure("its copy " + *copy + " is not a plain file");
        }
        return write(*copy);
    }
    Result<T> written = write(path);
    if (written || written.Status().kind != FailureKind::Denied) {
        return written;
    }
    if (const FileStatus made = MakeFoldersOf(*host_, *copy); !made) {
        return made;
    }
    return write(*copy);
}

Result<std::unique_ptr<TextStream>> VirtualStoreFileService::OpenTextFile(const std::string& path,
                                                                          OpenMode mode) {
    if (mode == OpenMode::Reading) {
        return host_->OpenTextFile(PresentCopy(path).value_or(path), mode);
    }
    return Written<std::unique_ptr<TextStream>>(
        path, [&](const std::string& used) { return host_->OpenTextFile(used, mode); });
}

EntryInfo VirtualStoreFileService::Inspect(const std::string& path) {
    if (const std::optional<std::string> copy = CopyOf(path)) {
        if (const EntryInfo info = host_->Inspect(*copy); info.kind != EntryKind::Missing) {
            return info;
        }
    }
    return host_->Inspect(path);
}

FileStatus VirtualStoreFileService::CheckWritable(const std::string& path) {
    const std::optional<std::string> copy = CopyOf(path);
    if (!copy) {
        return host_->CheckWritable(path);
    }
    if (const EntryInfo info = host_->Inspect(*copy); info.kind != EntryKind::Missing) {
        if (info.kind == EntryKind::Other) {
            return FileStatus::Failure("its copy " + *copy + " is not a plain file");
        }
        return host_->CheckWritable(*copy);
    }
    FileStatus real = host_->CheckWritable(path);
    const std::size_t cut = path.find_last_of("\\/");
    const bool folderTakesFiles = cut == std::string::npos || TakesNewFiles(path.substr(0, cut));
    if ((real && folderTakesFiles) || (!real && real.kind != FailureKind::Denied)) {
        return real;
    }
    return CheckCopyCanBeMade(*host_, *copy);
}

Result<std::optional<FileIdentity>> VirtualStoreFileService::Identify(const std::string& path) {
    return host_->Identify(PresentCopy(path).value_or(path));
}

Result<std::unique_ptr<Replacement>> VirtualStoreFileService::Replace(const std::string& path,
                                                                      const std::string& like) {
    const std::string usedLike = like.empty() ? like : PresentCopy(like).value_or(like);
    return Written<std::unique_ptr<Replacement>>(
        path, [&](const std::string& used) { return host_->Replace(used, usedLike); });
}

FileStatus VirtualStoreFileService::RestoreLeftover(const std::string& path) {
    // The leftover sits beside the file that was being written: the copy,
    // where the leftover is there.
    const std::string leftover = path + std::string(kReplacementSuffix);
    if (PresentCopy(leftover)) {
        return host_->RestoreLeftover(*CopyOf(path));
    }
    return host_->RestoreLeftover(path);
}

Result<std::unique_ptr<HeldFolder>> VirtualStoreFileService::OpenFolder(const std::string& path) {
    auto held = host_->OpenFolder(path);
    if (!held) {
        return held;
    }
    return std::unique_ptr<HeldFolder>(std::make_unique<StoreFolder>(*this, std::move(*held)));
}

std::string VirtualStoreFileService::HostPathForMessages(const std::string& path) const {
    if (const std::optional<std::string> copy = PresentCopy(path)) {
        return *copy;
    }
    return host_->HostPathForMessages(path);
}

VirtualStoreEnvironment VirtualStoreEnvironmentFromProcess() {
    VirtualStoreEnvironment environment;
    for (const wchar_t* root :
         {L"ProgramFiles", L"ProgramFiles(x86)", L"SystemRoot", L"ProgramData"}) {
        environment.protectedRoots.push_back(Environment(root));
    }
    environment.localAppData = Environment(L"LOCALAPPDATA");
    return environment;
}

} // namespace quorvel
