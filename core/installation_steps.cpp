#include "core/installation_steps.h"

#include "core/config_files.h"
#include "core/detail_choices.h"
#include "core/duplicates.h"
#include "core/installer.h"

namespace quorvel {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool AbortRequested(const AbortFlagValue& flag) {
    return flag.has_value() && *flag == 1;
}

// Puts newconfig.cfg back as it was, after it was replaced but custom.cfg
// could not follow. A file that this installation created cannot be
// removed, but emptied it reads as missing again. Returns what could not be
// put back.
std::optional<LeftBehind> PutBack(FileOperations& files, const InstallationPlan& plan) {
    FileStatus back =
        ReplaceWholeFile(files, plan.newConfigPath, plan.customPath, plan.newConfigBefore.bytes);
    if (!back) {
        return LeftBehind{plan.newConfigPath, std::move(back)};
    }
    return std::nullopt;
}

// Removes the new file of a replacement that will not be put in place,
// and notes it in `failure` when it stays behind.
void Discard(const std::string& path, Replacement& file, InstallFailure& failure) {
    if (FileStatus removed = file.Discard(); !removed) {
        failure.leftBehind.push_back({path, std::move(removed)});
    }
}

InstallFailure WriteFailed(const std::string& path, FileStatus status) {
    return {InstallStep::Write, path, std::move(status)};
}

} // namespace

bool AskDetailQuestions(WindowSystem& windows, LineList& installList, AbortFlagValue& abortFlag) {
    for (const DetailDialogKind kind : {DetailDialogKind::Texture, DetailDialogKind::Model}) {
        const DetailDialogResult result = windows.ShowDetailDialog(kind);
        ApplyDetailDialogResult(kind, result, installList, abortFlag);
        if (AbortRequested(abortFlag)) {
            return false;
        }
    }
    return true;
}

std::string MaintaFolder(const InstallationPlan& plan) {
    return FolderOf(plan.customPath);
}

Refusal CheckFolderOpened(FileService& files, const InstallationPlan& plan,
                          const FileStatus& opened) {
    if (opened) {
        return std::nullopt;
    }
    const std::string folder = MaintaFolder(plan);
    if (files.Inspect(folder).kind == EntryKind::Missing) {
        return InstallFailure{InstallStep::FindFolder, folder,
                              FileStatus::Failure("it does not exist")};
    }
    // Something that is there but cannot serve (a file, a pipe, another
    // user's link, a name the system cannot spell): opening it says why.
    return InstallFailure{InstallStep::UseFolder, folder, opened};
}

Refusal CheckFolderHeld(const InstallerState& state, const InstallationPlan& plan,
                        const HeldFolder& folder, const FileStatus& locked) {
    const std::string path = MaintaFolder(plan);
    if (locked.kind == FailureKind::Busy) {
        return InstallFailure{InstallStep::LockFolder, path, locked};
    }
    // The lines read at start-up belong to the folder they were read in.
    if (state.readFolder && *state.readFolder != folder.Identity()) {
        return InstallFailure{InstallStep::FolderChanged, path,
                              FileStatus::Failure("another folder is in its place")};
    }
    if (!locked) {
        return InstallFailure{InstallStep::LockFolder, path, locked};
    }
    return std::nullopt;
}

Refusal CheckBeforeWriting(FileOperations& files, const InstallationPlan& plan) {
    for (const std::string* path : {&plan.customPath, &plan.newConfigPath}) {
        if (FileStatus writable = files.CheckWritable(*path); !writable) {
            return InstallFailure{InstallStep::CheckWritable, *path, std::move(writable)};
        }
    }
    return std::nullopt;
}

// Both names must lead to two files: one file under both names would be
// written twice through one new file, and the second replacement would
// take the player's lines with it.
Refusal CheckTwoFiles(FileOperations& files, const InstallationPlan& plan) {
    auto custom = files.Identify(plan.customPath);
    auto newConfig = custom ? files.Identify(plan.newConfigPath) : custom;
    if (!newConfig) {
        const std::string& path = custom ? plan.newConfigPath : plan.customPath;
        return InstallFailure{InstallStep::Identify, path, newConfig.Status()};
    }
    if (*custom && *newConfig && **custom == **newConfig) {
        InstallFailure same{InstallStep::TellApart, plan.customPath,
                            FileStatus::Failure("both names lead to one file")};
        same.sameFileAs = plan.newConfigPath;
        return same;
    }
    return std::nullopt;
}

Refusal RestoreLeftover(FileOperations& files, InstallationPlan& plan) {
    const std::string& path = plan.newConfigPath;
    const std::string leftover = path + std::string(kReplacementSuffix);
    // Only a plain file at its own name can be one that quorvel wrote;
    // anything else there (a link, a pipe, a folder) is no leftover, and is
    // treated as any other new file left behind.
    const EntryInfo left = files.Inspect(leftover);
    if (files.Inspect(path).kind != EntryKind::Missing || left.kind != EntryKind::File ||
        left.throughLink) {
        return std::nullopt;
    }
    Result<std::string> bytes = ReadWholeFile(files, leftover);
    if (!bytes) {
        if (bytes.Status().kind == FailureKind::Empty) {
            return std::nullopt; // nothing in it: replaced as any leftover
        }
        return InstallFailure{InstallStep::ReadLeftover, path, bytes.Status()};
    }
    // Every file the program writes ends with a line end; one cut short
    // by a power cut may not, and only the player can tell what it lacks.
    if (!bytes->ends_with("\r\n")) {
        return InstallFailure{InstallStep::LeftoverCutShort, path,
                              FileStatus::Failure("it does not end with a line end")};
    }
    if (FileStatus restored = files.RestoreLeftover(path); !restored) {
        return InstallFailure{InstallStep::RestoreLeftover, path, std::move(restored)};
    }
    plan.leftoverRestored = true;
    return std::nullopt;
}

Refusal ReadReplacedCustomCfg(FileOperations& files, InstallationPlan& plan) {
    // Read whatever size it claims: a file in /proc says 0 and never ends.
    if (files.Inspect(plan.customPath).kind == EntryKind::File) {
        Result<std::string> bytes = ReadWholeFile(files, plan.customPath);
        if (!bytes && bytes.Status().kind != FailureKind::Empty) {
            return InstallFailure{InstallStep::Read, plan.customPath, bytes.Status()};
        }
        if (bytes) {
            plan.oldCustom.AssignText(std::move(*bytes));
        }
    }
    return std::nullopt;
}

Refusal GatherEarlierLines(FileOperations& files, InstallerState& state, InstallationPlan& plan) {
    FileStatus gathered = ReadConfigText(files, state.LineBuffer, plan.newConfigPath);
    plan.gathered = gathered.ok;
    if (gathered) {
        plan.newConfigBefore = {true, state.LineBuffer.Text()};
    } else if (files.Inspect(plan.newConfigPath).kind == EntryKind::File) {
        if (gathered.kind != FailureKind::Empty) {
            // It holds the player's settings: never replace it unread.
            return InstallFailure{InstallStep::Read, plan.newConfigPath, std::move(gathered)};
        }
        plan.newConfigBefore.existed = true;
    }
    plan.kept.reserve(state.LineBuffer.Count());
    for (std::size_t i = 0; i < state.LineBuffer.Count(); ++i) {
        plan.kept.push_back(TrimSpaces(state.LineBuffer[i]));
    }
    // Lines the player added to custom.cfg by hand since they were last
    // gathered would be lost with the file it replaces: keep them as well.
    // At a first installation (no newconfig.cfg read) they are all the
    // player's, even those that equal an installer line, in case start-up
    // could not read custom.cfg.
    for (const std::string_view line : HandAddedLines(plan.oldCustom, plan.kept, !plan.gathered)) {
        plan.kept.push_back(line);
    }
    return std::nullopt;
}

void PlanLines(LineList& installList, InstallationPlan& plan) {
    installList.Append(kEndMarkerLine);
    plan.installing.reserve(installList.Count());
    for (std::size_t i = 0; i < installList.Count(); ++i) {
        plan.installing.push_back(installList.View(i));
    }
    RemoveInstalledLines(plan.kept, plan.installing);
}

std::optional<InstallFailure> WriteBothFiles(FileOperations& files, const InstallationPlan& plan) {
    // Both new files are whole on the disk before either old one goes.
    // A new newconfig.cfg holds custom.cfg's lines: it is as private as that.
    auto newConfig =
        WriteReplacement(files, plan.newConfigPath, plan.customPath, std::string_view(), plan.kept);
    if (!newConfig) {
        return WriteFailed(plan.newConfigPath, newConfig.Status());
    }
    auto custom = WriteReplacement(files, plan.customPath, {}, kHeaderLine, plan.installing);
    if (!custom) {
        InstallFailure failure = WriteFailed(plan.customPath, custom.Status());
        Discard(plan.newConfigPath, **newConfig, failure);
        return failure;
    }
    // newconfig.cfg first: once it is in place, and the folder flushed, it
    // holds every earlier line, and custom.cfg may go.
    if (FileStatus moved = (*newConfig)->PutInPlace(); !moved) {
        InstallFailure failure = WriteFailed(plan.newConfigPath, std::move(moved));
        Discard(plan.newConfigPath, **newConfig, failure);
        Discard(plan.customPath, **custom, failure);
        return failure;
    }
    std::string failedPath = plan.newConfigPath;
    FileStatus step = (*newConfig)->FlushFolder();
    if (step) {
        failedPath = plan.customPath;
        step = (*custom)->PutInPlace();
    }
    if (!step) {
        InstallFailure failure = WriteFailed(failedPath, std::move(step));
        Discard(plan.customPath, **custom, failure);
        failure.notPutBack = PutBack(files, plan);
        return failure;
    }
    if (FileStatus flushed = (*custom)->FlushFolder(); !flushed) {
        return InstallFailure{InstallStep::FlushInstalled, plan.customPath, std::move(flushed)};
    }
    return std::nullopt;
}

void ShowNewCustomCfg(FileOperations& files, InstallerState& state, MainWindowPort& mainWindow) {
    LineList& current = mainWindow.CurrentList();
    current.Clear();
    mainWindow.SetLabel1Caption(kNewSettingsCaption);
    if (ReadConfigLines(files, state.LineBuffer, state.CustomCfgPath, current)) {
        return;
    }
    // The file was just written in full; show what it holds rather than the
    // lines of another file.
    const LineList& installList = mainWindow.InstallList();
    std::vector<std::string> lines;
    lines.reserve(installList.Count() + 2);
    lines.emplace_back(kHeaderLine);
    for (std::size_t i = 0; i < installList.Count(); ++i) {
        lines.emplace_back(installList.View(i));
    }
    lines.emplace_back(); // after the final line end
    current.Assign(std::move(lines));
}

} // namespace quorvel
