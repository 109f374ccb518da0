#include "core/install_failure.h"

#include <stdexcept>

namespace quorvel {
namespace {

const char* const kNothingChanged = "\n\nNothing was installed and no file was changed.";

// The name of the file at `path`, such as newconfig.cfg.
std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string NewFileOf(const std::string& path) {
    return path + std::string(kReplacementSuffix);
}

// Why nothing was written: the first sentence of a refusal.
std::string WordRefusal(const FileOperations& files, const InstallFailure& failure) {
    const std::string quoted = QuotedPath(files, failure.path);
    const std::string& reason = failure.status.reason;
    switch (failure.step) {
    case InstallStep::LockFolder:
        return "The folder " + quoted + " cannot be locked: " + reason + ".";
    case InstallStep::FindFolder:
        return "The folder " + quoted + " does not exist.";
    case InstallStep::UseFolder:
        return "The folder " + quoted + " cannot be used: " + reason + ".";
    case InstallStep::FolderChanged:
        return "The folder " + quoted + " changed since quorvel read it: " + reason +
               " now. Start quorvel again, so that it reads the files that are there.";
    case InstallStep::CheckWritable:
        return quoted + " cannot be written: " + reason + ".";
    case InstallStep::Identify:
        return quoted + " cannot be looked at: " + reason + ".";
    case InstallStep::TellApart:
        return FileNameOf(failure.path) + " and " + FileNameOf(failure.sameFileAs) +
               " are the same file (" + quoted + " and " + QuotedPath(files, failure.sameFileAs) +
               "); quorvel needs them apart.";
    case InstallStep::ReadLeftover:
        return QuotedPath(files, NewFileOf(failure.path)) + " cannot be read: " + reason + ".";
    case InstallStep::LeftoverCutShort:
        return QuotedPath(files, NewFileOf(failure.path)) +
               " was left by an installation that stopped, and " + quoted +
               " is missing. It may hold your own lines: rename it to " + FileNameOf(failure.path) +
               " to keep them, or remove it, then install again.";
    case InstallStep::RestoreLeftover:
        return QuotedPath(files, NewFileOf(failure.path)) + " cannot be put back as " +
               FileNameOf(failure.path) + ": " + reason + ".";
    case InstallStep::Read:
        return quoted + " cannot be read: " + reason + ".";
    case InstallStep::Write:
    case InstallStep::FlushInstalled:
        break;
    }
    throw std::logic_error("not a refusal");
}

// What could not be put back or removed, after a write failed.
std::string WordNotInstalled(const FileOperations& files, const InstallFailure& failure) {
    std::string message = "Writing " + QuotedPath(files, failure.path) +
                          " failed: " + failure.status.reason + ".\n\n";
    if (!failure.notPutBack) {
        message += "Your configuration files were left as they were. The Quorvel Config is "
                   "not installed.";
    } else {
        message += "Putting your configuration files back as they were failed too:\n" +
                   QuotedPath(files, failure.notPutBack->path) + ": " +
                   failure.notPutBack->status.reason + ".\n\nThe Quorvel Config is not installed.";
    }
    for (const LeftBehind& file : failure.leftBehind) {
        message += "\n\nThe unfinished " + QuotedPath(files, NewFileOf(file.path)) +
                   " could not be removed: " + file.status.reason +
                   ". The next installation removes it.";
    }
    return message;
}

} // namespace

std::string QuotedPath(const FileOperations& files, const std::string& path) {
    std::string quoted = "\"" + path + "\"";
    if (const std::string host = files.HostPathForMessages(path); !host.empty() && host != path) {
        quoted += " (" + host + ")";
    }
    return quoted;
}

std::string WordFailure(const FileOperations& files, const InstallFailure& failure) {
    if (failure.step == InstallStep::Write) {
        return WordNotInstalled(files, failure);
    }
    if (failure.step == InstallStep::FlushInstalled) {
        return "The Quorvel Config is installed, but flushing " + QuotedPath(files, failure.path) +
               " to the disk failed: " + failure.status.reason +
               ".\n\nIt may not have reached the disk yet.";
    }
    if (failure.step == InstallStep::LockFolder && failure.status.busy) {
        return "Another quorvel is installing into " + QuotedPath(files, failure.path) +
               ". Try again when it has finished.";
    }
    const std::string why = WordRefusal(files, failure);
    if (const auto& restored = failure.restoredLeftover) {
        return why + "\n\nNothing was installed. One file was changed: " +
               QuotedPath(files, NewFileOf(*restored)) +
               ", left complete by an installation that stopped, was put in place as " +
               FileNameOf(*restored) + ".";
    }
    return why + kNothingChanged;
}

} // namespace quorvel
