// Installation when things go wrong: checks that refuse before anything is
// written, real-file faults, and a failure injected at every single file
// operation of a whole installation.

#include "game_folder.h"
#include "installer.h"
#include "memory_file_service.h"
#include "scripted_window_system.h"

#include <gtest/gtest.h>
#include <set>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvel {
namespace {

using testing::DialogStep;
using testing::FakeRegistryStore;
using testing::GameFolder;
using testing::MemoryFileService;
using testing::ScriptedMainWindow;
using testing::ScriptedWindowSystem;

const std::string kPlayerCustomCfg =
    "bind MOUSE1 \"+attack\"\r\n  setu cheats 0\r\nsetu r_picmip 1\r\n";
const std::string kSuccess =
    "Custom Config has been created and the Quorvel Config has been installed";

// Starts a run against `files`, installs, and returns what the player saw.
struct Attempt {
    Attempt(RegistryStore& registry, FileService& files) : installer(windows, registry, files) {
        installer.RunStartup(window);
        currentBefore = window.current.Lines();
        windows.Then(DialogStep::Answer("Medium"));
        windows.Then(DialogStep::Answer("Highest"));
        result = installer.RunInstallation(window);
    }

    // Exactly one message: the success one, or a warning naming `file`.
    void ExpectToldAbout(const std::string& file) const {
        ASSERT_EQ(windows.messagesShown.size(), 1u);
        const auto& message = windows.messagesShown[0];
        EXPECT_EQ(message.title, "quorvel");
        if (result == InstallationResult::Installed) {
            EXPECT_EQ(message.text, kSuccess);
            return;
        }
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_NE(message.text, kSuccess);
        EXPECT_NE(message.text.find(file), std::string::npos) << message.text;
    }

    // The window is as start-up left it.
    void ExpectWindowUnchanged() const {
        EXPECT_EQ(window.current.Lines(), currentBefore);
        EXPECT_EQ(window.label1, "Current Custom.cfg settings");
        EXPECT_EQ(window.install.Count(), 26u);
    }

    ScriptedWindowSystem windows;
    ScriptedMainWindow window;
    Installer installer;
    std::vector<std::string> currentBefore;
    InstallationResult result{};
};

TEST(InstallationFaults, AMissingMaintaFolderIsReportedAndNothingIsCreated) {
    GameFolder game;
    std::filesystem::remove_all(game.Mainta());
    Attempt attempt(game.registry, game.files);
    EXPECT_EQ(attempt.result, InstallationResult::Refused);
    attempt.ExpectToldAbout(game.WindowsPath() + "\\mainta");
    attempt.ExpectWindowUnchanged();
    EXPECT_FALSE(std::filesystem::exists(game.Mainta()));
}

TEST(InstallationFaults, AFolderWhereAFileShouldBeStopsEverything) {
    for (const std::string blocked : {"custom.cfg", "newconfig.cfg"}) {
        GameFolder game;
        const std::string other = blocked == "custom.cfg" ? "newconfig.cfg" : "custom.cfg";
        game.Write(other, kPlayerCustomCfg);
        std::filesystem::create_directory(game.Mainta() / blocked);

        Attempt attempt(game.registry, game.files);
        EXPECT_EQ(attempt.result, InstallationResult::Refused) << blocked;
        attempt.ExpectToldAbout(blocked);
        attempt.ExpectWindowUnchanged();
        EXPECT_EQ(game.Read(other), kPlayerCustomCfg);
        EXPECT_TRUE(std::filesystem::is_directory(game.Mainta() / blocked));
    }
}

#ifndef _WIN32
// A full disk is brought about with a file size limit in a child process,
// which only POSIX systems offer. The failures injected below reach the same
// paths on every system.

// Runs an installation in a child process whose files may not grow past
// `limit` bytes, as on a full disk. Returns the child's exit status: the
// InstallationResult, or 99 when the success message was shown for a failure.
int InstallWithFileSizeLimit(GameFolder& game, rlim_t limit) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
        const rlimit fsize{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fsize);
        Attempt attempt(game.registry, game.files);
        const bool toldSuccess = !attempt.windows.messagesShown.empty() &&
                                 attempt.windows.messagesShown.back().text == kSuccess;
        if (toldSuccess && attempt.result != InstallationResult::Installed) {
            _exit(99);
        }
        _exit(static_cast<int>(attempt.result));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstallationFaults, AFullDiskLosesNoLine) {
    // custom.cfg fails part way: both files go back as they were.
    {
        GameFolder game;
        game.Write("custom.cfg", kPlayerCustomCfg);
        EXPECT_EQ(InstallWithFileSizeLimit(game, 300),
                  static_cast<int>(InstallationResult::Failed));
        EXPECT_EQ(game.Read("custom.cfg"), kPlayerCustomCfg);
    }
    // newconfig.cfg fails at a later installation, when the lines added to
    // custom.cfg by hand make it grow past the limit: custom.cfg is put back.
    {
        GameFolder game;
        const std::string earlier(1400, 'x');
        const std::string handAdded = "bind h \"say " + std::string(150, 'h') + "\"\r\n";
        game.Write("newconfig.cfg", "\r\n" + earlier + "\r\n");
        game.Write("custom.cfg", kPlayerCustomCfg + handAdded);
        EXPECT_EQ(InstallWithFileSizeLimit(game, 1500),
                  static_cast<int>(InstallationResult::Failed));
        EXPECT_EQ(game.Read("custom.cfg"), kPlayerCustomCfg + handAdded);
        EXPECT_EQ(game.Read("newconfig.cfg"), "\r\n" + earlier + "\r\n");
    }
}
#endif

// The lines of a file, trimmed, without the empty ones.
std::set<std::string> NonEmptyLines(const std::optional<std::string>& bytes) {
    std::set<std::string> lines;
    LineBuffer buffer;
    buffer.AssignText(bytes.value_or(""));
    for (std::size_t i = 0; i < buffer.Count(); ++i) {
        if (const auto line = TrimSpaces(buffer[i]); !line.empty()) {
            lines.emplace(line);
        }
    }
    return lines;
}

// Fails the k-th file operation of an installation, for every k, and checks
// each time that the player is told the truth and that every line that was in
// either file before is still in one of them.
void FailEveryOperation(const std::string& customCfg, const std::optional<std::string>& newConfig) {
    const std::string folder = "C:\\Games\\MOHAA\\mainta";
    const std::string custom = folder + "\\custom.cfg";
    const std::string other = folder + "\\newconfig.cfg";
    FakeRegistryStore registry;
    registry.SetString("Software\\2015\\MOHAA", "basepath", "C:\\Games\\MOHAA");

    std::set<std::string> before = NonEmptyLines(customCfg);
    before.merge(NonEmptyLines(newConfig));

    std::size_t tried = 0;
    for (std::size_t k = 1;; ++k) {
        MemoryFileService files;
        files.AddFolder(folder);
        files.SetFile(custom, customCfg);
        if (newConfig) {
            files.SetFile(other, *newConfig);
        }
        // Start-up reads custom.cfg once; fail the k-th operation after it.
        ScriptedWindowSystem windows;
        ScriptedMainWindow window;
        Installer installer(windows, registry, files);
        installer.RunStartup(window);
        files.FailOperation(k);
        const std::size_t operationsBefore = files.Operations();
        windows.Then(DialogStep::Answer("Medium"));
        windows.Then(DialogStep::Answer("Highest"));
        const InstallationResult result = installer.RunInstallation(window);
        const bool faultHit = files.Operations() - operationsBefore >= k;
        if (!faultHit) {
            EXPECT_EQ(result, InstallationResult::Installed);
            break;
        }
        ++tried;
        SCOPED_TRACE("failed operation " + std::to_string(k) + ": " +
                     files.Log().at(operationsBefore + k - 1));

        std::set<std::string> after = NonEmptyLines(files.File(custom));
        after.merge(NonEmptyLines(files.File(other)));
        for (const auto& line : before) {
            EXPECT_TRUE(after.count(line)) << "lost: " << line;
        }
        ASSERT_EQ(windows.messagesShown.size(), 1u);
        if (result == InstallationResult::Installed) {
            // Only reading the new custom.cfg back can fail after both files
            // were written; the window then shows what was written.
            EXPECT_EQ(windows.messagesShown[0].text, kSuccess);
            EXPECT_EQ(window.current.Count(), 33u);
            EXPECT_EQ(window.current.At(0).rfind("//Part of Quorvel", 0), 0u);
            continue;
        }
        EXPECT_EQ(windows.messagesShown[0].icon, MessageIcon::Warning);
        EXPECT_NE(windows.messagesShown[0].text, kSuccess);
        EXPECT_EQ(window.install.Count(), 26u);
        // A file that was there goes back to exactly what it held.
        EXPECT_EQ(files.File(custom), customCfg);
        if (newConfig) {
            EXPECT_EQ(files.File(other), newConfig);
        }
    }
    std::cout << "[ faults   ] " << tried << " fault points tried\n";
    EXPECT_GT(tried, 60u);
}

TEST(InstallationFaults, AFailureAtAnyFileOperationOfAFirstInstallationLosesNothing) {
    FailEveryOperation(kPlayerCustomCfg, std::nullopt);
}

TEST(InstallationFaults, AFailureAtAnyFileOperationOfALaterInstallationLosesNothing) {
    FailEveryOperation(kPlayerCustomCfg + "bind h \"say hand added\"\r\n",
                       "\r\nbind MOUSE1 \"+attack\"\r\nseta name Player\r\n\r\n");
}

} // namespace
} // namespace quorvel
