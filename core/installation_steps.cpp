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
std::string PutBack(FileService& files, const std::string& path, const Snapshot& before) {
    if (const FileStatus back = ReplaceWholeFile(files, path, before.bytes); !back) {
        return "\n" + QuotedPath(files, path) + ": " + back.reason + ".";
    }
    return {};
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
    if (const std::string host = files.HostLocation(path); !host.empty() && host != path) {
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
    for (const std::string* path : {&plan.customPath, &plan.otherPath}) {
        if (const FileStatus writable = files.CheckWritable(*path); !writable) {
            return QuotedPath(files, *path) + " cannot be written: " + writable.reason + ".";
        }
    }
    return std::nullopt;
}

Refusal ReadReplacedCustomCfg(FileService& files, InstallationPlan& plan) {
    const EntryInfo info = files.Inspect(plan.customPath);
    if (info.kind == EntryKind::File && info.size > 0) {
        Result<std::string> bytes = ReadWholeFile(files, plan.customPath);
        if (!bytes) {
            return QuotedPath(files, plan.customPath) +
                   " cannot be read: " + bytes.Status().reason + ".";
        }
        plan.oldCustom.AssignText(std::move(*bytes));
    }
    return std::nullopt;
}

Refusal GatherEarlierLines(FileService& files, InstallerState& state, InstallationPlan& plan) {
    const FileStatus gathered = ReadConfigText(files, state.LineBuffer, plan.otherPath);
    plan.gathered = gathered.ok;
    if (gathered) {
        plan.other = {true, state.LineBuffer.Text()};
    } else if (const EntryInfo info = files.Inspect(plan.otherPath); info.kind == EntryKind::File) {
        if (info.size > 0) {
            // It holds the player's settings: never replace it unread.
            return QuotedPath(files, plan.otherPath) + " cannot be read: " + gathered.reason + ".";
        }
        plan.other.existed = true;
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
    auto other = WriteReplacement(files, plan.otherPath, std::string_view(), plan.kept);
    if (!other) {
        return {NotInstalled(files, plan.otherPath, other.Status(), {}, {}), {}};
    }
    auto custom = WriteReplacement(files, plan.customPath, kHeaderLine, plan.installing);
    if (!custom) {
        return {NotInstalled(files, plan.customPath, custom.Status(), {},
                             Discarded(files, plan.otherPath, **other)),
                {}};
    }
    // newconfig.cfg first: once it is in place, and the folder flushed, it
    // holds every earlier line, and custom.cfg may go.
    if (const FileStatus moved = (*other)->PutInPlace(); !moved) {
        return {NotInstalled(files, plan.otherPath, moved, {},
                             Discarded(files, plan.otherPath, **other) +
                                 Discarded(files, plan.customPath, **custom)),
                {}};
    }
    std::string failedPath = plan.otherPath;
    FileStatus step = (*other)->FlushFolder();
    if (step) {
        failedPath = plan.customPath;
        step = (*custom)->PutInPlace();
    }
    if (!step) {
        const std::string leftOver = Discarded(files, plan.customPath, **custom);
        return {NotInstalled(files, failedPath, step, PutBack(files, plan.otherPath, plan.other),
                             leftOver),
                {}};
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
