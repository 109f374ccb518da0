#include "core/installation_steps.h"

#include "core/config_files.h"
#include "core/detail_choices.h"
#include "core/duplicates.h"
#include "core/installer.h"

#include <span>

namespace quorvel {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool AbortRequested(const AbortFlagValue& flag) {
    return flag.has_value() && *flag == 1;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Starts the file afresh with `firstLine`, then appends every line, each with
// an open, write and close of its own. Stops at the first failure; a file
// whose rewrite failed is never appended to its old content.
FileStatus WriteConfigFile(FileService& files, const std::string& path, std::string_view firstLine,
                           std::span<const std::string_view> lines) {
    FileStatus status = RewriteConfigFile(files, path, firstLine);
    for (auto line = lines.begin(); status && line != lines.end(); ++line) {
        status = AppendConfigLine(files, path, *line);
    }
    return status;
}

// Puts back what was there before. A file that this installation created
// cannot be removed, but emptied it reads as missing again; left half
// written, the next installation would take it for the player's. Returns
// what could not be put back, for the player.
std::string PutBack(FileService& files, const std::string& path, const Snapshot& before) {
    if (!before.existed && files.Inspect(path).kind != EntryKind::File) {
        return {};
    }
    if (const FileStatus back = WriteWholeFile(files, path, before.bytes); !back) {
        return "\n" + Quoted(path) + ": " + back.reason + ".";
    }
    return {};
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

Refusal CheckBeforeWriting(FileService& files, const InstallationPlan& plan) {
    const std::string folder = FolderOf(plan.customPath);
    if (files.Inspect(folder).kind != EntryKind::Folder) {
        return "The folder " + Quoted(folder) + " does not exist.";
    }
    for (const std::string* path : {&plan.customPath, &plan.otherPath}) {
        if (const FileStatus writable = files.CheckWritable(*path); !writable) {
            return Quoted(*path) + " cannot be written: " + writable.reason + ".";
        }
    }
    return std::nullopt;
}

Refusal ReadReplacedCustomCfg(FileService& files, InstallationPlan& plan) {
    const EntryInfo info = files.Inspect(plan.customPath);
    if (info.kind == EntryKind::File) {
        plan.custom.existed = true;
        if (info.size > 0) {
            std::string bytes;
            if (const FileStatus read = ReadWholeFile(files, plan.customPath, bytes); !read) {
                return Quoted(plan.customPath) + " cannot be read: " + read.reason + ".";
            }
            plan.oldCustom.AssignText(std::move(bytes));
        }
    }
    plan.custom.bytes = plan.oldCustom.Text();
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
            return Quoted(plan.otherPath) + " cannot be read: " + gathered.reason + ".";
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

std::optional<std::string> WriteBothFiles(FileService& files, const InstallationPlan& plan) {
    std::string failedPath = plan.customPath;
    FileStatus written = WriteConfigFile(files, plan.customPath, kHeaderLine, plan.installing);
    bool otherTouched = false;
    if (written) {
        failedPath = plan.otherPath;
        otherTouched = true;
        written = WriteConfigFile(files, plan.otherPath, std::string_view(), plan.kept);
    }
    if (written) {
        return std::nullopt;
    }

    // Put back what was there, so that no line is lost and nothing is left
    // half installed.
    std::string problems = PutBack(files, plan.customPath, plan.custom);
    if (otherTouched) {
        problems += PutBack(files, plan.otherPath, plan.other);
    }
    std::string message = "Writing " + Quoted(failedPath) + " failed: " + written.reason + ".\n\n";
    if (problems.empty()) {
        message += "Your configuration files were put back as they were. The Quorvel "
                   "Config is not installed.";
    } else {
        message += "Putting your configuration files back as they were failed too:" + problems +
                   "\n\nThe Quorvel Config is not installed.";
    }
    return message;
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
