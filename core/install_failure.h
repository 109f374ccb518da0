#pragma once

// What stopped an installation, or what the player should hear although it
// went through: the step, the file and the file service's status. The steps
// return it; WordFailure alone turns it into the player's message.

#include "platform/file_service.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {

enum class InstallStep {
    // Before anything is written.
    LockFolder,       // the mainta folder (`busy`: another copy holds it)
    FindFolder,       // the mainta folder does not exist
    UseFolder,        // something is there that cannot serve as the mainta folder
    FolderChanged,    // another mainta folder than the one start-up read custom.cfg in
    CheckWritable,    // a file that cannot be written now
    Identify,         // a file that cannot be looked at
    TellApart,        // custom.cfg (`path`) and newconfig.cfg (`sameFileAs`) are one file
    ReadLeftover,     // the new newconfig.cfg a stopped run left (`path`: newconfig.cfg)
    LeftoverCutShort, // that one does not end with a line end
    RestoreLeftover,  // putting that one in place failed
    Read,             // custom.cfg or newconfig.cfg cannot be read
    // Writing, until custom.cfg is in place: nothing installed.
    Write,
    // Both files in place, but the folder was not flushed.
    FlushInstalled,
};

// A new file that stayed behind because it could not be removed.
struct LeftBehind {
    std::string path; // the file it would have replaced
    FileStatus status;
};

struct InstallFailure {
    InstallFailure(InstallStep failedStep, std::string failedPath, FileStatus failedStatus)
        : step(failedStep), path(std::move(failedPath)), status(std::move(failedStatus)) {}

    InstallStep step;
    std::string path;
    FileStatus status;
    // TellApart: the second name of the one file.
    std::string sameFileAs;
    // Write: newconfig.cfg was replaced and could not be put back.
    std::optional<LeftBehind> notPutBack;
    // Write: new files that could not be removed.
    std::vector<LeftBehind> leftBehind;
    // A refusal after the complete new newconfig.cfg a stopped run left was
    // put in place: the path of newconfig.cfg, the one file that changed.
    std::optional<std::string> restoredLeftover;
};

// The path in quotes for a message, followed by where it lives on the host
// when that differs: "C:\Games\MOHAA\mainta" (/home/me/.wine/drive_c/...).
std::string QuotedPath(const FileOperations& files, const std::string& path);

// The message for the player.
std::string WordFailure(const FileOperations& files, const InstallFailure& failure);

} // namespace quorvel
