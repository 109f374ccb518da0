#pragma once

// The steps of an installation, each on its own, in the order the Installer
// runs them: ask the two questions, lock the folder, check before writing,
// gather the earlier lines, write both files (each whole beside the old one,
// then put in place), and show the new custom.cfg.

#include "core/line_buffer.h"
#include "platform/file_service.h"
#include "platform/line_list.h"
#include "platform/window_system.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

struct InstallerState;

// What newconfig.cfg held before the installation, to put back if custom.cfg
// cannot follow it. The bytes are held elsewhere, and stay put until the
// files are written.
struct NewConfigSnapshot {
    bool existed = false;
    std::string_view bytes;
};

// Everything an installation learns before it writes, and what it writes.
struct InstallationPlan {
    std::string customPath;
    std::string newConfigPath; // newconfig.cfg
    // The custom.cfg being replaced, read whole.
    LineBuffer oldCustom;
    NewConfigSnapshot newConfigBefore;
    // Whether newconfig.cfg held the earlier lines (a later installation).
    bool gathered = false;
    // The earlier lines that newconfig.cfg keeps, trimmed of spaces.
    std::vector<std::string_view> kept;
    // The lines that follow the header in custom.cfg.
    std::vector<std::string_view> installing;
};

// Why nothing was written, for the player; nullopt when all is well.
using Refusal = std::optional<std::string>;

// Shows both detail dialogs and applies the answers to `installList`.
// False when the player answered "Need to go Check" in either.
bool AskDetailQuestions(WindowSystem& windows, LineList& installList, AbortFlagValue& abortFlag);

// The path in quotes for a message, followed by where it lives on the host
// when that differs: "C:\Games\MOHAA\mainta" (/home/me/.wine/drive_c/...).
std::string QuotedPath(const FileService& files, const std::string& path);

// The folder that holds both files.
std::string MaintaFolder(const InstallationPlan& plan);

// Locks the mainta folder against other copies of the program, until the
// lock is dropped. A lock another copy holds fails as busy.
Result<std::unique_ptr<FolderLock>> LockMaintaFolder(FileService& files,
                                                     const InstallationPlan& plan);

// What the player hears when another copy holds the lock.
std::string AnotherInstallerMessage(const FileService& files, const InstallationPlan& plan);

// The mainta folder exists, could be locked (`locked`), both files could be
// written now, and they are two files, not one under two names.
Refusal CheckBeforeWriting(FileService& files, const InstallationPlan& plan,
                           const FileStatus& locked);

// A newconfig.cfg that is missing while a new one an earlier run left
// beside it is complete (it ends with a line end) is that new one: it is put
// in place, since it may be the only copy of the player's lines. One cut
// short is left alone, and the player is told; an empty one holds nothing.
Refusal RestoreLeftover(FileService& files, const InstallationPlan& plan);

// Reads the custom.cfg about to be replaced, whole, into the plan.
Refusal ReadReplacedCustomCfg(FileService& files, InstallationPlan& plan);

// The player's earlier lines: those of newconfig.cfg, or, where it is missing
// or empty, the lines read last (at the first installation, the custom.cfg
// that start-up read), plus the lines added to custom.cfg by hand. They stay
// in `state.LineBuffer`'s text, which nothing reads into again before the
// files are written or put back.
Refusal GatherEarlierLines(FileService& files, InstallerState& state, InstallationPlan& plan);

// Appends the end marker and works out what each file will hold.
void PlanLines(LineList& installList, InstallationPlan& plan);

// How writing both files went. `failure` is the message for the player when
// the files were left as they were (or newconfig.cfg put back); `unflushed`
// is the warning for the player when both files are in place but the disk
// did not confirm the last step.
struct WriteOutcome {
    std::optional<std::string> failure;
    std::optional<std::string> unflushed;
};

// Writes both files whole beside the old ones and flushes them, then puts
// newconfig.cfg in place, then custom.cfg, so that every earlier line is in
// one of the two files on the disk at every moment. When a step fails, the
// new files are removed and newconfig.cfg is put back if it was already
// replaced.
WriteOutcome WriteBothFiles(FileService& files, const InstallationPlan& plan);

// Shows the new custom.cfg in the current list, under its new caption.
void ShowNewCustomCfg(FileService& files, InstallerState& state, MainWindowPort& mainWindow);

} // namespace quorvel
