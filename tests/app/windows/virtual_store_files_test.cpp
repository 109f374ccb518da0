// The program's Windows file service over the game's per-user copies, on
// real files, where a copy or its store cannot be used: the installation
// names the path at fault and writes nothing.

#include "app/windows/virtual_store_file_service.h"
#include "platform/host_file_service.h"
#include "tests/support/installation_runs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"
#include "tests/support/windows/refusing_folder.h"
#include "tests/support/windows/test_roots.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <windows.h>

namespace quorvel {
namespace {

using test::ReadIfThere;

namespace fs = std::filesystem;

struct BadCopy {
    const char* name;
    // Lays out what is wrong; returns the path the message must name, or
    // why this system cannot lay it out.
    std::function<std::string(const fs::path& copy, const fs::path& store, std::string& skip)> make;
    bool refuses; // the game's mainta folder refuses new files
};

const BadCopy kBadCopies[] = {
    {"CopyIsAFolder",
     [](const fs::path& copy, const fs::path&, std::string&) {
         fs::create_directories(copy / "custom.cfg");
         return (copy / "custom.cfg").string();
     },
     false},
    {"CopyIsALinkToNowhere",
     [](const fs::path& copy, const fs::path&, std::string& skip) {
         fs::create_directories(copy);
         const fs::path link = copy / "newconfig.cfg";
         // Wine answers success and makes nothing.
         if (!CreateSymbolicLinkW(link.c_str(), (copy / "nowhere.cfg").c_str(), 0) ||
             GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
             skip = "this system makes no symbolic link that leads nowhere";
         }
         return link.string();
     },
     false},
    {"StoreCannotBeMade",
     [](const fs::path&, const fs::path& store, std::string&) {
         fs::create_directories(store.parent_path());
         test::WriteBytes(store, "not a folder");
         return store.string();
     },
     true},
};

void PrintTo(const BadCopy& row, std::ostream* out) {
    *out << row.name;
}

class VirtualStoreFilesTest : public ::testing::TestWithParam<BadCopy> {};

TEST_P(VirtualStoreFilesTest, NamesThePathAndWritesNothing) {
    const test::TempDir dir;
    const std::string game = (dir.Path() / "Protected" / "MOHAA").string();
    const fs::path mainta = fs::path(game) / "mainta";
    const fs::path store = dir.Path() / "Local" / "VirtualStore";
    const fs::path copy(store.string() + game.substr(2) + "\\mainta");
    fs::create_directories(mainta);
    test::WriteBytes(mainta / "custom.cfg", test::kPlayerCustomCfg);
    std::string skip;
    const std::string named = GetParam().make(copy, store, skip);
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    std::optional<test::RefusingFolder> refusing;
    if (GetParam().refuses) {
        refusing.emplace(mainta);
        if (!refusing->Unavailable().empty()) {
            GTEST_SKIP() << refusing->Unavailable();
        }
    }

    VirtualStoreFileService files(
        std::make_unique<HostFileService>(),
        {{(dir.Path() / "Protected").string()}, (dir.Path() / "Local").string()});
    test::FakeRegistryStore registry;
    registry.SetString(kGameRegistryKey, kGameRegistryValue, game);
    test::ProgramRun run(registry, files);
    const InstallationResult result = run.Install();
    refusing.reset();

    EXPECT_NE(result, InstallationResult::Installed);
    ASSERT_EQ(run.windows.messagesShown.size(), 1u);
    EXPECT_NE(run.windows.messagesShown[0].text.find(named), std::string::npos)
        << run.windows.messagesShown[0].text;
    EXPECT_EQ(ReadIfThere(mainta / "custom.cfg"), test::kPlayerCustomCfg);
    for (const fs::path& folder : {mainta, copy}) {
        EXPECT_EQ(ReadIfThere(folder / "newconfig.cfg"), std::nullopt);
    }
    EXPECT_EQ(ReadIfThere(copy / "custom.cfg"), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(BadCopies, VirtualStoreFilesTest, ::testing::ValuesIn(kBadCopies),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace quorvel
