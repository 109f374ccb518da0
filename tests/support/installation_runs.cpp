#include "tests/support/installation_runs.h"

#include "core/line_buffer.h"
#include "tests/support/line_lists.h"

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

FakeRegistryStore UsualRegistry() {
    FakeRegistryStore registry;
    registry.SetString(kGameRegistryKey, kGameRegistryValue, "C:\\Games\\MOHAA");
    return registry;
}

std::unique_ptr<MemoryFileService> UsualFiles(const std::string& customCfg,
                                              const std::optional<std::string>& newConfig) {
    auto files = std::make_unique<MemoryFileService>();
    files->AddFolder(kMainta);
    files->SetFile(kCustom, customCfg);
    if (newConfig) {
        files->SetFile(kOther, *newConfig);
    }
    return files;
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
    const std::set<std::string> kept = LinesOfBoth(now.custom, now.other);
    for (const std::string& line : LinesOfBoth(before.custom, before.other)) {
        EXPECT_TRUE(kept.count(line)) << "lost: " << line;
    }
}

} // namespace quorvel::test
