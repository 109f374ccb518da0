#pragma once

// The steps of an installation, each on its own, in the order the Installer
// runs them: ask the two questions, check before writing, gather the earlier
// lines, write both files (putting them back if a write fails), and show the
// new custom.cfg.

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

// What a file held before the installation, to put back if a write fails.
// The bytes are held elsewhere, and stay put until the files are written.
struct Snapshot {
    bool existed = false;
    std::string_view bytes;
};

// Everything an installation learns before it writes, and what it writes.
struct InstallationPlan {
    std::string customPath;
    std::string otherPath; // newconfig.cfg
    // The custom.cfg being replaced, read whole.
    LineBuffer oldCustom;
    Snapshot custom;
    Snapshot other;
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

// The mainta folder exists and both files could be written now.
Refusal CheckBeforeWriting(FileService& files, const InstallationPlan& plan);

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

// Writes custom.cfg, then newconfig.cfg. When a write fails, both files are
// put back as they were, and the result is the message for the player.
std::optional<std::string> WriteBothFiles(FileService& files, const InstallationPlan& plan);

// Shows the new custom.cfg in the current list, under its new caption.
void ShowNewCustomCfg(FileService& files, InstallerState& state, MainWindowPort& mainWindow);

} // namespace quorvel
