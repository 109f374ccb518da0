#include "config_files.h"
#include "duplicates.h"
#include "installer.h"

#include <span>
#include <string_view>
#include <vector>

namespace quorvel {
namespace {

// What a file held before the installation, to put back if a write fails.
// The bytes are held elsewhere, and stay put until the files are written.
struct Snapshot {
    bool existed = false;
    std::string_view bytes;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool AbortRequested(const AbortFlagValue& flag) {
    return flag.has_value() && *flag == 1;
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

// The lines of `list`, where they are.
std::vector<std::string_view> ViewsOf(const LineList& list) {
    std::vector<std::string_view> lines;
    lines.reserve(list.Count());
    for (std::size_t i = 0; i < list.Count(); ++i) {
        lines.push_back(list.View(i));
    }
    return lines;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

const char* const kNothingChanged = "\n\nNothing was installed and no file was changed.";

} // namespace

InstallationResult Installer::RunInstallation(MainWindowPort& mainWindow) {
    LineList& installList = mainWindow.InstallList();
    const std::size_t linesBefore = installList.Count();

    windows_.ShowDetailDialog(DetailDialogKind::Texture, installList, state_.AbortFlag);
    if (AbortRequested(state_.AbortFlag)) {
        mainWindow.Close();
        return InstallationResult::Aborted;
    }
    windows_.ShowDetailDialog(DetailDialogKind::Model, installList, state_.AbortFlag);
    if (AbortRequested(state_.AbortFlag)) {
        mainWindow.Close();
        return InstallationResult::Aborted;
    }

    // Whatever stops the installation from here on leaves the window as it
    // was, the install list included, so that trying again starts clean.
    const auto forgetAnswers = [&] {
        while (installList.Count() > linesBefore) {
            installList.RemoveAt(installList.Count() - 1);
        }
    };
    const auto refuse = [&](const std::string& why) {
        forgetAnswers();
        windows_.ShowMessage(why + kNothingChanged, kApplicationTitle, MessageIcon::Warning);
        return InstallationResult::Refused;
    };

    // Look at everything before writing anything.
    const std::string& customPath = state_.CustomCfgPath;
    const std::string& otherPath = state_.NewConfigPath;
    const std::string folder = FolderOf(customPath);
    if (files_.Inspect(folder).kind != EntryKind::Folder) {
        return refuse("The folder " + Quoted(folder) + " does not exist.");
    }
    for (const std::string* path : {&customPath, &otherPath}) {
        if (const FileStatus writable = files_.CheckWritable(*path); !writable) {
            return refuse(Quoted(*path) + " cannot be written: " + writable.reason + ".");
        }
    }

    // The custom.cfg being replaced; its lines are looked through below.
    LineBuffer oldCustom;
    Snapshot custom;
    if (const EntryInfo info = files_.Inspect(customPath); info.kind == EntryKind::File) {
        custom.existed = true;
        if (info.size > 0) {
            std::string bytes;
            if (const FileStatus read = ReadWholeFile(files_, customPath, bytes); !read) {
                return refuse(Quoted(customPath) + " cannot be read: " + read.reason + ".");
            }
            oldCustom.AssignText(std::move(bytes));
        }
    }
    custom.bytes = oldCustom.Text();

    // The player's earlier lines: those of newconfig.cfg, or, where it is
    // missing or empty, the lines read last (at the first installation, the
    // custom.cfg that start-up read). They stay in the buffer's text, which
    // nothing reads into again before the files are written or put back.
    Snapshot other;
    const FileStatus gathered = ReadConfigText(files_, state_.LineBuffer, otherPath);
    if (gathered) {
        other = {true, state_.LineBuffer.Text()};
    } else if (const EntryInfo info = files_.Inspect(otherPath); info.kind == EntryKind::File) {
        if (info.size > 0) {
            // It holds the player's settings: never replace it unread.
            return refuse(Quoted(otherPath) + " cannot be read: " + gathered.reason + ".");
        }
        other.existed = true;
    }
    std::vector<std::string_view> kept;
    kept.reserve(state_.LineBuffer.Count());
    for (std::size_t i = 0; i < state_.LineBuffer.Count(); ++i) {
        kept.push_back(TrimSpaces(state_.LineBuffer[i]));
    }

    // Lines the player added to custom.cfg by hand since they were last
    // gathered would be lost with the file it replaces: keep them as well.
    // At a first installation (no newconfig.cfg read) they are all the
    // player's, even those that equal an installer line, in case start-up
    // could not read custom.cfg.
    for (const std::string_view line : HandAddedLines(oldCustom, kept, !gathered)) {
        kept.push_back(line);
    }

    installList.Append(kEndMarkerLine);
    const std::vector<std::string_view> installing = ViewsOf(installList);
    RemoveInstalledLines(kept, installing);

    std::string failedPath = customPath;
    FileStatus written = WriteConfigFile(files_, customPath, kHeaderLine, installing);
    bool otherTouched = false;
    if (written) {
        failedPath = otherPath;
        otherTouched = true;
        written = WriteConfigFile(files_, otherPath, std::string_view(), kept);
    }

    if (!written) {
        // Put back what was there, so that no line is lost and nothing is
        // left half installed.
        std::string problems;
        const auto restore = [&](const std::string& path, const Snapshot& before) {
            // A file that this installation created cannot be removed, but
            // emptied it reads as missing again; left half written, the next
            // installation would take it for the player's.
            if (!before.existed && files_.Inspect(path).kind != EntryKind::File) {
                return;
            }
            if (const FileStatus back = WriteWholeFile(files_, path, before.bytes); !back) {
                problems += "\n" + Quoted(path) + ": " + back.reason + ".";
            }
        };
        restore(customPath, custom);
        if (otherTouched) {
            restore(otherPath, other);
        }
        forgetAnswers();
        std::string message =
            "Writing " + Quoted(failedPath) + " failed: " + written.reason + ".\n\n";
        if (problems.empty()) {
            message += "Your configuration files were put back as they were. The Quorvel "
                       "Config is not installed.";
        } else {
            message += "Putting your configuration files back as they were failed too:" + problems +
                       "\n\nThe Quorvel Config is not installed.";
        }
        windows_.ShowMessage(message, kApplicationTitle, MessageIcon::Warning);
        return InstallationResult::Failed;
    }

    windows_.ShowMessage(kInstalledMessage, kApplicationTitle, MessageIcon::None);

    LineList& current = mainWindow.CurrentList();
    current.Clear();
    mainWindow.SetLabel1Caption(kNewSettingsCaption);
    if (!ReadConfigLines(files_, state_.LineBuffer, customPath, current)) {
        // The file was just written in full; show what it holds rather than
        // the lines of another file.
        std::vector<std::string> lines;
        lines.reserve(installList.Count() + 2);
        lines.emplace_back(kHeaderLine);
        for (std::size_t i = 0; i < installList.Count(); ++i) {
            lines.emplace_back(installList.View(i));
        }
        lines.emplace_back(); // after the final line end
        current.Assign(std::move(lines));
    }
    return InstallationResult::Installed;
}

} // namespace quorvel
