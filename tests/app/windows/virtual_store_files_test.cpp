// The program's Windows file service over the game's per-user copies, on
// real files: an installation writes each file where the game reads it,
// whatever the spelling of the game folder, and where a copy or its store
// cannot be used, names the path at fault and writes nothing.

#include "app/windows/virtual_store_file_service.h"
#include "platform/host_file_service.h"
#include "platform/windows/file_paths.h"
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

using test::kPlayerCustomCfg;
using test::kPlayerFirstNewConfig;
using test::ReadIfThere;
namespace fs = std::filesystem;

// A game folder below a protected folder, holding the player's custom.cfg,
// and where its per-user copies go.
class VirtualStoreFilesTest : public ::testing::Test {
protected:
    VirtualStoreFilesTest() {
        fs::create_directories(mainta_);
        test::WriteBytes(mainta_ / "custom.cfg", kPlayerCustomCfg);
    }

    // One installation through the service, the registry naming the game
    // folder `spelled`, with `root` protected and mainta refusing new files
    // meanwhile where `refuses`; skipped where that cannot be laid out.
    void Install(const std::string& spelled, bool refuses, const fs::path& root) {
        if (BuildGameFolder(spelled) != spelled) {
            GTEST_SKIP() << "the folder's short name " << spelled << " holds \"aa\"";
        }
        std::optional<test::RefusingFolder> refusing;
        if (refuses && !refusing.emplace(mainta_).Unavailable().empty()) {
            GTEST_SKIP() << refusing->Unavailable();
        }
        VirtualStoreFileService files(std::make_unique<HostFileService>(),
                                      {{root.string()}, (dir_.Path() / "Local").string()});
        test::FakeRegistryStore registry;
        registry.SetString(kGameRegistryKey, kGameRegistryValue, spelled);
        test::ProgramRun run(registry, files);
        result_ = run.Install();
        for (const auto& message : run.windows.messagesShown) {
            messages_.push_back(message.text);
        }
    }

    const test::TempDir dir_;
    const fs::path protected_ = dir_.Path() / "Protected";
    const std::string game_ = (protected_ / "MOHAA").string();
    const fs::path mainta_ = fs::path(game_) / "mainta";
    const fs::path store_ = dir_.Path() / "Local" / "VirtualStore";
    // Worked out here on its own: the store, then the game folder's path
    // without its drive.
    const fs::path copy_{store_.string() + game_.substr(2) + "\\mainta"};
    InstallationResult result_{};
    std::vector<std::string> messages_;
};

const std::string kInstalled = test::ExpectedFile("custom_medium_highest.cfg");
const std::string kStale = "seta r_stale 1\r\n";

// The registry may spell the game folder otherwise than the system does.
enum class Spelling { AsIs, ShortNames, LongPrefix };

struct StoreCase {
    const char* name;
    bool protectedFolder;
    std::string custom;                                   // the game folder's custom.cfg
    std::optional<std::string> copyCustom, copyNewconfig; // beforehand
    bool refuses; // the game's mainta folder refuses new files
    Spelling spelling = Spelling::AsIs;
};

// Each file goes into its copy where the copy exists or the folder refuses.
const StoreCase kStoreCases[] = {
    {"CopyPresentAndAStaleRealFile", true, kStale, kPlayerCustomCfg, std::nullopt, false},
    {"CopiesOfBothFilesKeepTheEarlierLines", true, kStale, kInstalled, kPlayerFirstNewConfig,
     false},
    {"NoCopyAndARealFolderThatRefuses", true, kPlayerCustomCfg, std::nullopt, std::nullopt, true},
    {"WritableRealFolderMakesNoCopy", true, kPlayerCustomCfg, std::nullopt, std::nullopt, false},
    {"UnprotectedFolderLeavesALookAlikeAlone", false, kPlayerCustomCfg, kStale, std::nullopt,
     false},
    // C:\PROGRA~1\..., as older installers stored it, and \\?\C:\Program Files\...
    {"ShortNamesReachTheCopy", true, kStale, kPlayerCustomCfg, std::nullopt, false,
     Spelling::ShortNames},
    {"LongPrefixReachesTheCopy", true, kStale, kPlayerCustomCfg, std::nullopt, false,
     Spelling::LongPrefix},
    {"ShortNamesOfARefusingFolderMakeTheCopy", true, kPlayerCustomCfg, std::nullopt, std::nullopt,
     true, Spelling::ShortNames},
};

// `folder` as `spelling` writes it.
std::string Spelled(const std::string& folder, Spelling spelling) {
    wchar_t shortNames[MAX_PATH] = {};
    GetShortPathNameW(windows_paths::WidePath(folder).c_str(), shortNames, MAX_PATH);
    return spelling == Spelling::AsIs         ? folder
           : spelling == Spelling::LongPrefix ? "\\\\?\\" + folder
                                              : windows_paths::ProgramText(shortNames);
}

class VirtualStoreCopyTest : public VirtualStoreFilesTest,
                             public ::testing::WithParamInterface<StoreCase> {};

TEST_P(VirtualStoreCopyTest, InstallWhereTheGameReads) {
    const StoreCase& row = GetParam();
    test::WriteBytes(mainta_ / "custom.cfg", row.custom);
    for (const auto& [name, bytes] :
         {std::pair{"custom.cfg", row.copyCustom}, std::pair{"newconfig.cfg", row.copyNewconfig}}) {
        if (bytes) {
            fs::create_directories(copy_);
            test::WriteBytes(copy_ / name, *bytes);
        }
    }
    const std::string spelled = Spelled(game_, row.spelling);
    ASSERT_TRUE(row.spelling == Spelling::AsIs || spelled != game_) << "no other spelling";
    Install(spelled, row.refuses, row.protectedFolder ? protected_ : dir_.Path() / "Elsewhere");
    if (IsSkipped()) {
        return;
    }

    EXPECT_EQ(result_, InstallationResult::Installed);
    EXPECT_EQ(messages_, std::vector<std::string>{kInstalledMessage});
    struct Written {
        const char* name;
        std::optional<std::string> real, copy, installed;
    };
    // A later run reads newconfig.cfg back, with its empty first and last lines.
    const std::string newconfig =
        row.copyNewconfig ? "\r\n" + *row.copyNewconfig + "\r\n" : kPlayerFirstNewConfig;
    bool anyCopy = false;
    for (const Written& file :
         {Written{"custom.cfg", row.custom, row.copyCustom, kInstalled},
          Written{"newconfig.cfg", std::nullopt, row.copyNewconfig, newconfig}}) {
        SCOPED_TRACE(file.name);
        const bool intoCopy = row.protectedFolder && (file.copy || row.refuses);
        anyCopy = anyCopy || intoCopy;
        EXPECT_EQ(ReadIfThere(copy_ / file.name), intoCopy ? file.installed : file.copy);
        EXPECT_EQ(ReadIfThere(mainta_ / file.name), intoCopy ? file.real : file.installed);
    }
    if (!row.copyCustom) {
        EXPECT_EQ(fs::exists(store_), anyCopy);
    }
}

INSTANTIATE_TEST_SUITE_P(Copies, VirtualStoreCopyTest, ::testing::ValuesIn(kStoreCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct BadCopy {
    const char* name;
    // Lays out what is wrong; returns the path the message must name, or ""
    // where this system cannot lay it out.
    std::function<std::string(const fs::path& copy, const fs::path& store)> make;
    bool refuses; // the game's mainta folder refuses new files
};

const BadCopy kBadCopies[] = {
    {"CopyIsAFolder",
     [](const fs::path& copy, const fs::path&) {
         fs::create_directories(copy / "custom.cfg");
         return (copy / "custom.cfg").string();
     },
     false},
    {"CopyIsALinkToNowhere",
     [](const fs::path& copy, const fs::path&) {
         fs::create_directories(copy);
         const fs::path link = copy / "newconfig.cfg";
         // Wine answers success and makes nothing.
         const bool made = CreateSymbolicLinkW(link.c_str(), (copy / "nowhere.cfg").c_str(), 0) &&
                           GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
         return made ? link.string() : "";
     },
     false},
    {"StoreCannotBeMade",
     [](const fs::path&, const fs::path& store) {
         fs::create_directories(store.parent_path());
         test::WriteBytes(store, "not a folder");
         return store.string();
     },
     true},
};

class VirtualStoreBadCopyTest : public VirtualStoreFilesTest,
                                public ::testing::WithParamInterface<BadCopy> {};

TEST_P(VirtualStoreBadCopyTest, NameThePathAndWriteNothing) {
    const std::string named = GetParam().make(copy_, store_);
    if (named.empty()) {
        GTEST_SKIP() << "this system cannot lay it out";
    }
    Install(game_, GetParam().refuses, protected_);
    if (IsSkipped()) {
        return;
    }

    EXPECT_NE(result_, InstallationResult::Installed);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(named), std::string::npos) << messages_[0];
    EXPECT_EQ(ReadIfThere(mainta_ / "custom.cfg"), kPlayerCustomCfg);
    for (const fs::path& folder : {mainta_, copy_}) {
        EXPECT_EQ(ReadIfThere(folder / "newconfig.cfg"), std::nullopt);
    }
    EXPECT_EQ(ReadIfThere(copy_ / "custom.cfg"), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(BadCopies, VirtualStoreBadCopyTest, ::testing::ValuesIn(kBadCopies),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace quorvel
