// Installation when the program or the machine stops half way: a power cut
// at every file operation, and another copy of the program installing into
// the same folder, on files in memory. The same on real files is in
// posix/installation_crash_test.cpp.

#include "core/installer.h"
#include "tests/support/fake_registry_store.h"
#include "tests/support/installation_runs.h"
#include "tests/support/memory_file_service.h"
#include "tests/support/scripted_window_system.h"

#include <gtest/gtest.h>
#include <iostream>
#include <set>

namespace quorvel {
namespace {

using test::ExpectWholeAndNothingLost;
using test::FakeRegistryStore;
using test::Files;
using test::kCustom;
using test::kFirstCustomCfg;
using test::kLaterCustomCfg;
using test::kLaterNewConfig;
using test::kOther;
using test::kSuccess;
using test::PlayerLines;
using test::ProgramRun;
using test::UsualFiles;

// The power goes at the k-th file operation of an installation, for every
// k: every later operation fails, and what was not flushed is lost. Then the
// program starts afresh on what is left and installs. Returns the number of
// crash points tried.
std::size_t PowerCutAtEveryOperation(const std::string& customCfg,
                                     const std::optional<std::string>& newConfig) {
    FakeRegistryStore registry = test::UsualRegistry();
    const Files before{customCfg, newConfig};
    Files after;
    {
        auto files = UsualFiles(customCfg, newConfig);
        ProgramRun run(registry, *files);
        EXPECT_EQ(run.Install(), InstallationResult::Installed);
        after = {files->File(kCustom), files->File(kOther)};
    }
    return test::AtEveryFaultPoint([&](std::size_t k, bool& reached) {
        auto files = UsualFiles(customCfg, newConfig);
        ProgramRun run(registry, *files);
        const std::size_t armedAt = files->Operations();
        files->FailFromOperation(k);
        const InstallationResult result = run.Install();
        reached = files->Operations() - armedAt >= k;
        SCOPED_TRACE("power cut at operation " + std::to_string(k) +
                     (reached ? ": " + files->Log().at(armedAt + k - 1) : ", after the end"));
        files->PowerCut();
        if (!reached) {
            // What the player was told is installed stays installed.
            EXPECT_EQ(result, InstallationResult::Installed);
            EXPECT_EQ(files->File(kCustom), after.custom);
            EXPECT_EQ(files->File(kOther), after.other);
            return;
        }
        ExpectWholeAndNothingLost({files->File(kCustom), files->File(kOther)}, before, after);

        ProgramRun again(registry, *files);
        EXPECT_EQ(again.Install(), InstallationResult::Installed);
        EXPECT_EQ(again.windows.messagesShown.back().text, kSuccess);
        // The same custom.cfg as an installation that was never cut short,
        // the same lines in newconfig.cfg (one that already held them keeps
        // its leading empty line as well), and no new file left behind.
        EXPECT_EQ(files->File(kCustom), after.custom);
        EXPECT_EQ(PlayerLines(files->File(kOther)), PlayerLines(after.other));
        for (const auto& [path, bytes] : files->Files()) {
            EXPECT_TRUE(path == kCustom || path == kOther) << path;
        }
    });
}

TEST(InstallationCrash, APowerCutAtAnyFileOperationLosesNothingAndTearsNothing) {
    const std::size_t first = PowerCutAtEveryOperation(kFirstCustomCfg, std::nullopt);
    const std::size_t later = PowerCutAtEveryOperation(kLaterCustomCfg, kLaterNewConfig);
    std::cout << "[ crash    ] power cut: " << first << " points in a first installation, " << later
              << " in a later one\n";
    EXPECT_GE(first, 15u);
    EXPECT_GE(later, 15u);
}

TEST(InstallationCrash, AnotherCopyInstallingIntoTheFolderIsRefused) {
    auto files = UsualFiles(kFirstCustomCfg);
    files->SetHostPathForMessages([](const std::string& path) {
        std::string host = "/home/me/.wine/drive_c" + path.substr(2);
        std::replace(host.begin(), host.end(), '\\', '/');
        return host;
    });
    FakeRegistryStore registry = test::UsualRegistry();
    auto held = files->LockFolder(test::kMainta);
    ASSERT_TRUE(held);
    ProgramRun run(registry, *files);
    const std::size_t installListBefore = run.window.install.Count();
    EXPECT_EQ(run.Install(), InstallationResult::Refused);
    ASSERT_EQ(run.windows.messagesShown.size(), 1u);
    const auto& told = run.windows.messagesShown[0];
    EXPECT_EQ(told.text, "Another quorvel is installing into \"C:\\Games\\MOHAA\\mainta\" "
                         "(/home/me/.wine/drive_c/Games/MOHAA/mainta). Try again when it has "
                         "finished.");
    EXPECT_EQ(told.title, "quorvel");
    EXPECT_EQ(told.icon, MessageIcon::Warning);
    EXPECT_EQ(run.window.install.Count(), installListBefore);
    EXPECT_EQ(files->Files(), (std::map<std::string, std::string>{{kCustom, kFirstCustomCfg}}));

    // Once the other copy is done, the same window installs.
    held.Value().reset();
    EXPECT_EQ(run.Install(), InstallationResult::Installed);
}

} // namespace
} // namespace quorvel
