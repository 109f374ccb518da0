#pragma once

// The steps of an installation, each on its own, in the order the Installer
// runs them: ask the two questions, lock the folder, check before writing,
// gather the earlier lines, write both files (each whole beside the old one,
// then put in place), and show the new custom.cfg.

#include "core/install_failure.h"
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
    // Whether a complete new newconfig.cfg that a stopped run left was put
    // in place.
    bool leftoverRestored = false;
};

// Why nothing was written; nullopt when all is well.
using Refusal = std::optional<InstallFailure>;

// Shows both detail dialogs and applies the answers to `installList`.
// False when the player answered "Need to go Check" in either.
bool AskDetailQuestions(WindowSystem& windows, LineList& installList, AbortFlagValue& abortFlag);

// The folder that holds both files.
std::string MaintaFolder(const InstallationPlan& plan);

// The mainta folder could be found and held (`opened` says why not): it
// exists and is a folder, reached through no other user's link.
Refusal CheckFolderOpened(FileService& files, const InstallationPlan& plan,
                          const FileStatus& opened);

// The folder held is the one start-up read custom.cfg in, and could be
// locked (`locked`, busy when another copy of the program holds it).
Refusal CheckFolderHeld(const InstallerState& state, const InstallationPlan& plan,
                        const HeldFolder& folder, const FileStatus& locked);

// Both files could be written now. This step and those below act on the
// held mainta folder, given as `files`.
Refusal CheckBeforeWriting(FileOperations& files, const InstallationPlan& plan);

// Both names lead to two files, not one under two names: checked on the
// files as the writes will find them, after any leftover is put in place.
Refusal CheckTwoFiles(FileOperations& files, const InstallationPlan& plan);

// A newconfig.cfg that is missing while a new one an earlier run left
// beside it is complete (it ends with a line end) is that new one: it is put
// in place, since it may be the only copy of the player's lines. One cut
// short is left alone, and the player is told; an empty one holds nothing.
// Only a plain file of the player's is put in place, and never over a
// newconfig.cfg that appeared meanwhile.
// Notes in the plan when it put one in place.
Refusal RestoreLeftover(FileOperations& files, InstallationPlan& plan);

// Reads the custom.cfg about to be replaced, whole, into the plan.
Refusal ReadReplacedCustomCfg(FileOperations& files, InstallationPlan& plan);

// The player's earlier lines: those of newconfig.cfg, or, where it is missing
// or empty, the lines read last (at the first installation, the custom.cfg
// that start-up read), plus the lines added to custom.cfg by hand. They stay
// in `state.LineBuffer`'s text, which nothing reads into again before the
// files are written or put back.
Refusal GatherEarlierLines(FileOperations& files, InstallerState& state, InstallationPlan& plan);

// Appends the end marker and works out what each file will hold.
void PlanLines(LineList& installList, InstallationPlan& plan);

// Writes both files whole beside the old ones and flushes them, then puts
// newconfig.cfg in place, then custom.cfg, so that every earlier line is in
// one of the two files on the disk at every moment. When a step fails, the
// new files are removed and newconfig.cfg is put back if it was already
// replaced. Returns nullopt when both are in place and flushed; a Write
// failure when the files were left as they were (or newconfig.cfg put
// back); FlushInstalled when both are in place but the disk did not confirm
// the last step.
std::optional<InstallFailure> WriteBothFiles(FileOperations& files, const InstallationPlan& plan);

// Shows the new custom.cfg in the current list, under its new caption.
void ShowNewCustomCfg(FileOperations& files, InstallerState& state, MainWindowPort& mainWindow);

} // namespace quorvel
