#include "core/install_failure.h"

#include "platform/ascii.h"

#include <stdexcept>
#include <string_view>

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

// The last name of a Windows-style path, past any separator at its end.
std::string_view LastName(std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) {
        path.remove_suffix(1);
    }
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

bool IsMaintaName(std::string_view name) {
    return SameAsciiName(name, "mainta");
}

// What to type at the prompt instead of the folder typed, whose mainta
// (`maintaPath`) is missing.
std::string TypeTheGameFolder(const std::string& maintaPath) {
    const std::string ask = "\n\nStart quorvel again and, when it asks for the game folder, type ";
    std::string_view typed(maintaPath);
    typed.remove_suffix(LastName(typed).size());
    while (!typed.empty() && (typed.back() == '\\' || typed.back() == '/')) {
        typed.remove_suffix(1);
    }
    if (IsMaintaName(LastName(typed))) {
        std::string_view above = typed.substr(0, typed.size() - LastName(typed).size());
        // "C:\\" stays whole: "C:" alone is the drive's current folder.
        if (above.size() > 1 && (above.back() == '\\' || above.back() == '/') &&
            above[above.size() - 2] != ':') {
            above.remove_suffix(1);
        }
        return "\n\n\"" + std::string(typed) + "\" is the mainta folder itself." + ask +
               "the folder that holds it: \"" + std::string(above) + "\".";
    }
    return ask + "the game's own folder: the one that holds mainta (such as C:\\Games\\MOHAA), "
                 "not mainta itself.";
}

// A path as a shell takes it, in single quotes.
std::string ShellQuoted(const std::string& path) {
    std::string quoted = "'";
    for (const char c : path) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// How to make writable what the system would not let the player write.
std::string MakeWritable(const WriteRefusal& refusal) {
    const std::string kind = refusal.folder ? "folder" : "file";
    if (refusal.readOnlyMount) {
        return "\n\nThe " + kind +
               " is on a file system mounted read-only. Mount it "
               "read-write, or move the game to a folder of your own, then install again.";
    }
    if (refusal.playersOwn) {
        return "\n\nThe " + kind + " is yours (" + refusal.owner +
               ") but not writable. Make it writable, in a terminal:\n    chmod u+w " +
               ShellQuoted(refusal.hostPath) + "\nthen install again.";
    }
    return "\n\nThe " + kind + " belongs to " + refusal.owner +
           ", not to you. Make it yours, in a terminal:\n    sudo chown \"$USER\" " +
           ShellQuoted(refusal.hostPath) + "\nthen install again.";
}

// Where the player goes from here after a refusal; empty where the reason
// already says.
std::string NextStep(const InstallFailure& failure) {
    if (failure.step == InstallStep::FindFolder) {
        return TypeTheGameFolder(failure.path);
    }
    if (failure.step == InstallStep::CheckWritable && failure.status.refusal) {
        return MakeWritable(*failure.status.refusal);
    }
    return {};
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
    if (failure.step == InstallStep::LockFolder && failure.status.kind == FailureKind::Busy) {
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
    return why + kNothingChanged + NextStep(failure);
}

} // namespace quorvel
