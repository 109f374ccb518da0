#include "base_settings.h"
#include "config_files.h"
#include "detail_choices.h"
#include "installer.h"

#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorvel {
namespace {

// What a file held before the installation, to put back if a write fails.
struct Snapshot {
    bool existed = false;
    std::string bytes;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool AbortRequested(const AbortFlagValue& flag) {
    return flag.has_value() && *flag == 1;
}

// True for a line that this program writes into custom.cfg itself: the
// header, the end marker, a base setting or a line of a detail answer.
bool IsInstallerLine(std::string_view trimmed) {
    static const std::unordered_set<std::string_view> own = [] {
        std::unordered_set<std::string_view> lines(BaseSettings.begin(), BaseSettings.end());
        lines.insert(kHeaderLine);
        lines.insert(kEndMarkerLine);
        for (const auto kind : {DetailDialogKind::Texture, DetailDialogKind::Model}) {
            for (const DetailAnswer& answer : DetailAnswers(kind)) {
                lines.insert(answer.lines.begin(), answer.lines.end());
            }
        }
        return lines;
    }();
    return own.count(trimmed) != 0;
}

// Starts the file afresh with `firstLine`, then appends every line, each with
// an open, write and close of its own. Stops at the first failure; a file
// whose rewrite failed is never appended to its old content.
FileStatus WriteConfigFile(FileService& files, const std::string& path,
                           const std::string& firstLine, const std::vector<std::string>& lines) {
    FileStatus status = RewriteConfigFile(files, path, firstLine);
    for (auto line = lines.begin(); status && line != lines.end(); ++line) {
        status = AppendConfigLine(files, path, *line);
    }
    return status;
}

// The earlier lines less every non-empty line that equals, trimmed of
// spaces, a non-empty line being installed. Empty lines always stay, and the
// lines that stay keep their order.
std::vector<std::string> WithoutInstalledLines(const std::vector<std::string>& earlier,
                                               const std::vector<std::string>& installing) {
    std::unordered_set<std::string_view> installed;
    installed.reserve(installing.size());
    for (const std::string& line : installing) {
        if (!line.empty()) {
            installed.insert(TrimSpaces(line));
        }
    }
    std::vector<std::string> kept;
    kept.reserve(earlier.size());
    for (const std::string& line : earlier) {
        if (line.empty() || installed.count(TrimSpaces(line)) == 0) {
            kept.push_back(line);
        }
    }
    return kept;
}

// Lines of the custom.cfg being replaced that the player added by hand: not
// empty, not one of the installer's own, and not already among the earlier
// lines. Each is taken once, trimmed, in file order. At a first installation
// custom.cfg is the player's own file, so none of its lines is taken for the
// installer's; its lines are among the earlier ones already, unless start-up
// could not read it.
std::vector<std::string> HandAddedLines(const std::string& oldCustomCfg,
                                        const std::vector<std::string>& earlier,
                                        bool firstInstallation) {
    LineBuffer old;
    old.AssignText(oldCustomCfg);
    std::unordered_set<std::string_view> known(earlier.begin(), earlier.end());
    std::vector<std::string> added;
    for (std::size_t i = 0; i < old.Count(); ++i) {
        const std::string_view line = TrimSpaces(old[i]);
        if (!line.empty() && (firstInstallation || !IsInstallerLine(line)) &&
            known.insert(line).second) {
            added.emplace_back(line);
        }
    }
    return added;
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

    Snapshot custom;
    if (const EntryInfo info = files_.Inspect(customPath); info.kind == EntryKind::File) {
        custom.existed = true;
        if (info.size > 0) {
            if (const FileStatus read = ReadWholeFile(files_, customPath, custom.bytes); !read) {
                return refuse(Quoted(customPath) + " cannot be read: " + read.reason + ".");
            }
        }
    }

    // The player's earlier lines: those of newconfig.cfg, or, where it is
    // missing or empty, the lines read last (at the first installation, the
    // custom.cfg that start-up read).
    LineList earlier;
    Snapshot other;
    const FileStatus gathered = ReadConfigLines(files_, state_.LineBuffer, otherPath, earlier);
    if (gathered) {
        other = {true, state_.LineBuffer.Text()};
    } else if (const EntryInfo info = files_.Inspect(otherPath); info.kind == EntryKind::File) {
        if (info.size > 0) {
            // It holds the player's settings: never replace it unread.
            return refuse(Quoted(otherPath) + " cannot be read: " + gathered.reason + ".");
        }
        other.existed = true;
    }

    // Lines the player added to custom.cfg by hand since they were last
    // gathered would be lost with the file it replaces: keep them as well.
    std::vector<std::string> earlierLines = earlier.Lines();
    for (std::string& line : HandAddedLines(custom.bytes, earlierLines, !gathered)) {
        earlierLines.push_back(std::move(line));
    }

    installList.Append(kEndMarkerLine);
    const std::vector<std::string> kept = WithoutInstalledLines(earlierLines, installList.Lines());

    std::string failedPath = customPath;
    FileStatus written = WriteConfigFile(files_, customPath, kHeaderLine, installList.Lines());
    bool otherTouched = false;
    if (written) {
        failedPath = otherPath;
        otherTouched = true;
        written = WriteConfigFile(files_, otherPath, std::string(), kept);
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
        lines.reserve(installList.Count() + 1);
        lines.emplace_back(kHeaderLine);
        lines.insert(lines.end(), installList.Lines().begin(), installList.Lines().end());
        lines.emplace_back(); // after the final line end
        current.Assign(std::move(lines));
    }
    return InstallationResult::Installed;
}

} // namespace quorvel
