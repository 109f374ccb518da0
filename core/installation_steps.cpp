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
// put back, for the player.
std::string PutBack(FileService& files, const InstallationPlan& plan) {
    const FileStatus back =
        ReplaceWholeFile(files, plan.newConfigPath, plan.customPath, plan.newConfigBefore.bytes);
    if (!back) {
        return "\n" + QuotedPath(files, plan.newConfigPath) + ": " + back.reason + ".";
    }
    return {};
}

// The name of the file at `path`, such as newconfig.cfg.
std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Both names must lead to two files: one file under both names would be
// written twice through one new file, and the second replacement would
// take the player's lines with it.
Refusal CheckTwoFiles(FileService& files, const InstallationPlan& plan) {
    auto custom = files.Identify(plan.customPath);
    auto newConfig = custom ? files.Identify(plan.newConfigPath) : custom;
    if (!newConfig) {
        const std::string& path = custom ? plan.newConfigPath : plan.customPath;
        return QuotedPath(files, path) + " cannot be looked at: " + newConfig.Status().reason + ".";
    }
    if (*custom && *newConfig && **custom == **newConfig) {
        return FileNameOf(plan.customPath) + " and " + FileNameOf(plan.newConfigPath) +
               " are the same file (" + QuotedPath(files, plan.customPath) + " and " +
               QuotedPath(files, plan.newConfigPath) + "); quorvel needs them apart.";
    }
    return std::nullopt;
}

// Removes the new file of a replacement that will not be put in place.
// Returns a note for the player when it stays behind.
std::string Discarded(FileService& files, const std::string& path, Replacement& file) {
    if (const FileStatus removed = file.Discard(); !removed) {
        return "\n\nThe unfinished " + QuotedPath(files, path + std::string(kReplacementSuffix)) +
               " could not be removed: " + removed.reason + ". The next installation removes it.";
    }
    return {};
}

// The message for a write that failed; `putBack` lists what could not be
// put back, `leftOver` what could not be removed.
std::string NotInstalled(FileService& files, const std::string& failedPath,
                         const FileStatus& failure, const std::string& putBack,
                         const std::string& leftOver) {
    std::string message =
        "Writing " + QuotedPath(files, failedPath) + " failed: " + failure.reason + ".\n\n";
    if (putBack.empty()) {
        message += "Your configuration files were left as they were. The Quorvel Config is "
                   "not installed.";
    } else {
        message += "Putting your configuration files back as they were failed too:" + putBack +
                   "\n\nThe Quorvel Config is not installed.";
    }
    return message + leftOver;
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

std::string QuotedPath(const FileService& files, const std::string& path) {
    std::string quoted = "\"" + path + "\"";
    if (const std::string host = files.HostPathForMessages(path); !host.empty() && host != path) {
        quoted += " (" + host + ")";
    }
    return quoted;
}

std::string MaintaFolder(const InstallationPlan& plan) {
    return FolderOf(plan.customPath);
}

Result<std::unique_ptr<FolderLock>> LockMaintaFolder(FileService& files,
                                                     const InstallationPlan& plan) {
    return files.LockFolder(MaintaFolder(plan));
}

std::string AnotherInstallerMessage(const FileService& files, const InstallationPlan& plan) {
    return "Another quorvel is installing into " + QuotedPath(files, MaintaFolder(plan)) +
           ". Try again when it has finished.";
}

Refusal CheckBeforeWriting(FileService& files, const InstallationPlan& plan,
                           const FileStatus& locked) {
    const std::string folder = MaintaFolder(plan);
    const EntryKind kind = files.Inspect(folder).kind;
    if (kind == EntryKind::Missing) {
        return "The folder " + QuotedPath(files, folder) + " does not exist.";
    }
    // Something that is there but cannot serve (a file, a path too long, a
    // name the system cannot spell): the lock tried it and says why.
    if (kind != EntryKind::Folder) {
        return "The folder " + QuotedPath(files, folder) +
               " cannot be used: " + (locked ? std::string("it is not a folder") : locked.reason) +
               ".";
    }
    if (!locked) {
        return "The folder " + QuotedPath(files, folder) + " cannot be locked: " + locked.reason +
               ".";
    }
    for (const std::string* path : {&plan.customPath, &plan.newConfigPath}) {
        if (const FileStatus writable = files.CheckWritable(*path); !writable) {
            return QuotedPath(files, *path) + " cannot be written: " + writable.reason + ".";
        }
    }
    return CheckTwoFiles(files, plan);
}

Refusal RestoreLeftover(FileService& files, const InstallationPlan& plan) {
    const std::string& path = plan.newConfigPath;
    const std::string leftover = path + std::string(kReplacementSuffix);
    if (files.Inspect(path).kind != EntryKind::Missing ||
        files.Inspect(leftover).kind != EntryKind::File) {
        return std::nullopt;
    }
    Result<std::string> bytes = ReadWholeFile(files, leftover);
    if (!bytes) {
        if (bytes.Status().reason == kEmptyFileReason) {
            return std::nullopt; // nothing in it: replaced as any leftover
        }
        return QuotedPath(files, leftover) + " cannot be read: " + bytes.Status().reason + ".";
    }
    // Every file the program writes ends with a line end; one cut short
    // by a power cut may not, and only the player can tell what it lacks.
    if (!bytes->ends_with("\r\n")) {
        return QuotedPath(files, leftover) + " was left by an installation that stopped, and " +
               QuotedPath(files, path) + " is missing. It may hold your own lines: rename it to " +
               FileNameOf(path) + " to keep them, or remove it, then install again.";
    }
    if (const FileStatus restored = files.RestoreLeftover(path); !restored) {
        return QuotedPath(files, leftover) + " cannot be put back as " + FileNameOf(path) + ": " +
               restored.reason + ".";
    }
    return std::nullopt;
}

Refusal ReadReplacedCustomCfg(FileService& files, InstallationPlan& plan) {
    // Read whatever size it claims: a file in /proc says 0 and never ends.
    if (files.Inspect(plan.customPath).kind == EntryKind::File) {
        Result<std::string> bytes = ReadWholeFile(files, plan.customPath);
        if (!bytes && bytes.Status().reason != kEmptyFileReason) {
            return QuotedPath(files, plan.customPath) +
                   " cannot be read: " + bytes.Status().reason + ".";
        }
        if (bytes) {
            plan.oldCustom.AssignText(std::move(*bytes));
        }
    }
    return std::nullopt;
}

Refusal GatherEarlierLines(FileService& files, InstallerState& state, InstallationPlan& plan) {
    const FileStatus gathered = ReadConfigText(files, state.LineBuffer, plan.newConfigPath);
    plan.gathered = gathered.ok;
    if (gathered) {
        plan.newConfigBefore = {true, state.LineBuffer.Text()};
    } else if (files.Inspect(plan.newConfigPath).kind == EntryKind::File) {
        if (gathered.reason != kEmptyFileReason) {
            // It holds the player's settings: never replace it unread.
            return QuotedPath(files, plan.newConfigPath) + " cannot be read: " + gathered.reason +
                   ".";
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

WriteOutcome WriteBothFiles(FileService& files, const InstallationPlan& plan) {
    // Both new files are whole on the disk before either old one goes.
    // A new newconfig.cfg holds custom.cfg's lines: it is as private as that.
    auto newConfig =
        WriteReplacement(files, plan.newConfigPath, plan.customPath, std::string_view(), plan.kept);
    if (!newConfig) {
        return {NotInstalled(files, plan.newConfigPath, newConfig.Status(), {}, {}), {}};
    }
    auto custom = WriteReplacement(files, plan.customPath, {}, kHeaderLine, plan.installing);
    if (!custom) {
        return {NotInstalled(files, plan.customPath, custom.Status(), {},
                             Discarded(files, plan.newConfigPath, **newConfig)),
                {}};
    }
    // newconfig.cfg first: once it is in place, and the folder flushed, it
    // holds every earlier line, and custom.cfg may go.
    if (const FileStatus moved = (*newConfig)->PutInPlace(); !moved) {
        return {NotInstalled(files, plan.newConfigPath, moved, {},
                             Discarded(files, plan.newConfigPath, **newConfig) +
                                 Discarded(files, plan.customPath, **custom)),
                {}};
    }
    std::string failedPath = plan.newConfigPath;
    FileStatus step = (*newConfig)->FlushFolder();
    if (step) {
        failedPath = plan.customPath;
        step = (*custom)->PutInPlace();
    }
    if (!step) {
        const std::string leftOver = Discarded(files, plan.customPath, **custom);
        return {NotInstalled(files, failedPath, step, PutBack(files, plan), leftOver), {}};
    }
    if (const FileStatus flushed = (*custom)->FlushFolder(); !flushed) {
        return {std::nullopt, "The Quorvel Config is installed, but flushing " +
                                  QuotedPath(files, plan.customPath) + " to the disk failed: " +
                                  flushed.reason + ".\n\nIt may not have reached the disk yet."};
    }
    return {};
}

void ShowNewCustomCfg(FileService& files, InstallerState& state, MainWindowPort& mainWindow) {
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
