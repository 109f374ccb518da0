// The rule that names a file's per-user copy below a protected folder. It
// works on the text of the paths alone, so it runs alike on every system.

#include "platform/virtual_store.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace quorvel {
namespace {

const VirtualStoreEnvironment kWindows{
    {"C:\\Program Files", "C:\\Program Files (x86)", "C:\\Windows", "C:\\ProgramData"},
    "C:\\Users\\Player\\AppData\\Local"};

const std::string kStore = "C:\\Users\\Player\\AppData\\Local\\VirtualStore";

struct Case {
    const char* name;
    std::string path;
    std::optional<std::string> copy;
};

const Case kCases[] = {
    {"ProgramFilesInMixedCase", "c:\\PROGRAM files\\MOHAA\\mainta\\custom.cfg",
     kStore + "\\PROGRAM files\\MOHAA\\mainta\\custom.cfg"},
    {"ProgramFilesX86", "C:\\program files (X86)\\Games\\MOHAA\\mainta\\newconfig.cfg",
     kStore + "\\program files (X86)\\Games\\MOHAA\\mainta\\newconfig.cfg"},
    {"SystemRoot", "C:\\wINDOWS\\MOHAA\\mainta\\custom.cfg",
     kStore + "\\wINDOWS\\MOHAA\\mainta\\custom.cfg"},
    {"ProgramData", "C:\\programdata\\MOHAA\\mainta\\custom.cfg",
     kStore + "\\programdata\\MOHAA\\mainta\\custom.cfg"},
    // A game folder typed with a closing backslash doubles the one before mainta.
    {"DoubledAndForwardSeparators", "C:\\Program Files\\MOHAA\\\\mainta/custom.cfg",
     kStore + "\\Program Files\\MOHAA\\mainta\\custom.cfg"},
    {"DotsResolved", "C:\\Games\\..\\Program Files\\.\\MOHAA\\mainta\\custom.cfg",
     kStore + "\\Program Files\\MOHAA\\mainta\\custom.cfg"},
    {"DotsLeadingOut", "C:\\Program Files\\..\\Games\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"OnlyStartsLikeARoot", "C:\\Program Files2\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"TheRootItself", "C:\\Program Files\\", std::nullopt},
    {"AnotherDrive", "D:\\Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"Unprotected", "C:\\Games\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"Unc", "\\\\server\\C$\\Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"DevicePath", "\\\\?\\C:\\Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"Relative", "Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"DriveRelative", "C:Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"CurrentDriveRoot", "\\Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
};

class VirtualStoreTest : public ::testing::TestWithParam<Case> {};

TEST_P(VirtualStoreTest, NamesTheCopyOnlyBelowAProtectedFolder) {
    EXPECT_EQ(VirtualStoreCopy(GetParam().path, kWindows), GetParam().copy);
}

INSTANTIATE_TEST_SUITE_P(Paths, VirtualStoreTest, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Roots as the environment may give them: with a closing backslash, on
// another drive, empty or relative (which protect nothing).
TEST(VirtualStoreRootsTest, RootsAreTakenAsTheEnvironmentGivesThem) {
    const std::string file = "D:\\Apps\\MOHAA\\mainta\\custom.cfg";
    VirtualStoreEnvironment environment{{"", "Apps", "d:\\apps\\"}, "E:\\Local\\"};
    EXPECT_EQ(VirtualStoreCopy(file, environment),
              "E:\\Local\\VirtualStore\\Apps\\MOHAA\\mainta\\custom.cfg");
    environment.protectedRoots = {"", "Apps"};
    EXPECT_EQ(VirtualStoreCopy(file, environment), std::nullopt);
}

TEST(VirtualStoreRootsTest, NothingIsRedirectedWithoutAUsableLocalAppData) {
    VirtualStoreEnvironment environment = kWindows;
    for (const char* local : {"", "AppData\\Local", "\\\\server\\Local"}) {
        environment.localAppData = local;
        EXPECT_EQ(VirtualStoreCopy("C:\\Program Files\\MOHAA\\mainta\\custom.cfg", environment),
                  std::nullopt)
            << local;
    }
}

} // namespace
} // namespace quorvel
