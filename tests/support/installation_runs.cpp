#include "tests/support/installation_runs.h"

#include "core/line_buffer.h"
#include "tests/support/game_folder.h"
#include "tests/support/hooked_file_service.h"
#include "tests/support/line_lists.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

namespace quorvel::test {

ProgramRun::ProgramRun(RegistryStore& registry, FileService& files)
    : installer(windows, registry, files) {
    installer.RunStartup(window);
}

InstallationResult ProgramRun::Install(const std::string& texture, const std::string& model) {
    windows.Then(DialogStep::Answer(texture));
    windows.Then(DialogStep::Answer(model));
    return installer.RunInstallation(window);
}

Attempt::Attempt(RegistryStore& registry, FileService& files)
    : ProgramRun(registry, files), currentBefore(LinesOf(window.current)) {
    result = Install();
}

void Attempt::ExpectToldAbout(const std::string& file) const {
    ASSERT_EQ(windows.messagesShown.size(), 1u);
    const auto& message = windows.messagesShown[0];
    EXPECT_EQ(message.title, "quorvel");
    if (result == InstallationResult::Installed) {
        EXPECT_EQ(message.text, kSuccess);
        EXPECT_EQ(message.icon, MessageIcon::None);
        return;
    }
    EXPECT_EQ(message.icon, MessageIcon::Warning);
    EXPECT_NE(message.text, kSuccess);
    EXPECT_NE(message.text.find(file), std::string::npos) << message.text;
}

void Attempt::ExpectWindowUnchanged() const {
    EXPECT_EQ(LinesOf(window.current), currentBefore);
    EXPECT_EQ(window.label1, "Current Custom.cfg settings");
    EXPECT_EQ(window.install.Count(), 26u);
}

std::set<std::string> PlayerLines(const std::optional<std::string>& bytes) {
    LineBuffer buffer;
    buffer.AssignText(bytes.value_or(""));
    std::set<std::string> lines;
    for (std::size_t i = 0; i < buffer.Count(); ++i) {
        if (const std::string_view line = TrimSpaces(buffer[i]); !line.empty()) {
            lines.emplace(line);
        }
    }
    return lines;
}

std::set<std::string> LinesOfBoth(const std::optional<std::string>& custom,
                                  const std::optional<std::string>& other) {
    std::set<std::string> lines = PlayerLines(custom);
    lines.merge(PlayerLines(other));
    return lines;
}

MemoryGame::MemoryGame(const std::optional<std::string>& customCfg,
                       const std::optional<std::string>& newConfig) {
    registry.SetString(kGameRegistryKey, kGameRegistryValue, "C:\\Games\\MOHAA");
    files.AddFolder(kMainta);
    for (const auto& [path, bytes] :
         {std::pair(kCustom, customCfg), std::pair(kOther, newConfig)}) {
        if (bytes) {
            files.SetFile(path, *bytes);
        }
    }
}

std::size_t AtEveryFaultPoint(const std::function<void(std::size_t k, bool& reached)>& attempt) {
    for (std::size_t k = 1;; ++k) {
        bool reached = false;
        attempt(k, reached);
        if (!reached || ::testing::Test::HasFatalFailure()) {
            return k - 1;
        }
    }
}

void ExpectWholeAndNothingLost(const Files& now, const Files& before, const Files& after) {
    EXPECT_TRUE(now.custom == before.custom || now.custom == after.custom) << "custom.cfg torn";
    // A newconfig.cfg that was missing may be missing or empty afterwards.
    const bool otherWas = now.other == before.other || (!before.other && now.other == "");
    EXPECT_TRUE(otherWas || now.other == after.other) << "newconfig.cfg torn";
    ExpectNothingLost(now, before);
}

void ExpectNothingLost(const Files& now, const Files& before) {
    const std::set<std::string> kept = LinesOfBoth(now.custom, now.other);
    for (const std::string& line : LinesOfBoth(before.custom, before.other)) {
        EXPECT_TRUE(kept.count(line)) << "lost: " << line;
    }
}

Files FilesOf(const GameFolder& game) {
    return {game.Read("custom.cfg"), game.Read("newconfig.cfg")};
}

void Put(const GameFolder& game, const Files& files) {
    for (const auto& [name, bytes] :
         {std::pair("custom.cfg", files.custom), std::pair("newconfig.cfg", files.other)}) {
        if (bytes) {
            game.Write(name, *bytes);
        }
    }
}

Files InstalledFrom(const Files& start) {
    GameFolder game;
    Put(game, start);
    EXPECT_EQ(ProgramRun(game.registry, game.files).Install(), InstallationResult::Installed);
    return FilesOf(game);
}

void ExpectRefusedOverAnOddEntry(const std::function<void(const std::filesystem::path&)>& make,
                                 const std::vector<std::string>& told) {
    for (const std::string odd : {"custom.cfg", "newconfig.cfg"}) {
        SCOPED_TRACE(odd);
        GameFolder game;
        const std::string other = odd == "custom.cfg" ? "newconfig.cfg" : "custom.cfg";
        game.Write(other, kPlayerCustomCfg);
        make(game.Mainta() / odd);
        const auto kind = std::filesystem::symlink_status(game.Mainta() / odd).type();
        const std::set<std::string> names = game.Names();
        HookedFileService files(game.files, [](std::size_t, const std::string& what) {
            EXPECT_FALSE(what.starts_with("create new ")) << what;
        });

        const Attempt attempt(game.registry, files);
        EXPECT_EQ(attempt.result, InstallationResult::Refused);
        attempt.ExpectToldAbout(odd);
        for (const std::string& part : told) {
            attempt.ExpectToldAbout(part);
        }
        attempt.ExpectWindowUnchanged();
        EXPECT_EQ(game.Read(other), kPlayerCustomCfg);
        EXPECT_EQ(std::filesystem::symlink_status(game.Mainta() / odd).type(), kind);
        EXPECT_EQ(game.Names(), names);
    }
}

} // namespace quorvel::test
