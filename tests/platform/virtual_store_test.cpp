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

const std::pair<std::string, std::optional<std::string>> kCases[] = {
    {"c:\\PROGRAM files\\MOHAA\\mainta\\custom.cfg",
     kStore + "\\PROGRAM files\\MOHAA\\mainta\\custom.cfg"},
    {"C:\\program files (X86)\\Games\\MOHAA\\mainta\\newconfig.cfg",
     kStore + "\\program files (X86)\\Games\\MOHAA\\mainta\\newconfig.cfg"},
    {"C:\\wINDOWS\\MOHAA\\mainta\\custom.cfg", kStore + "\\wINDOWS\\MOHAA\\mainta\\custom.cfg"},
    {"C:\\programdata\\MOHAA\\mainta\\custom.cfg",
     kStore + "\\programdata\\MOHAA\\mainta\\custom.cfg"},
    // A game folder typed with a closing backslash doubles the one before mainta.
    {"C:\\Program Files\\MOHAA\\\\mainta/custom.cfg",
     kStore + "\\Program Files\\MOHAA\\mainta\\custom.cfg"},
    {"C:\\Games\\..\\Program Files\\.\\MOHAA\\mainta\\custom.cfg",
     kStore + "\\Program Files\\MOHAA\\mainta\\custom.cfg"},
    // Dots leading out, a name that only starts like a root, the root itself,
    // another drive, an unprotected folder, UNC and device paths, relative,
    // drive-relative and current-drive-rooted paths.
    {"C:\\Program Files\\..\\Games\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"C:\\Program Files2\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"C:\\Program Files\\", std::nullopt},
    {"D:\\Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"C:\\Games\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"\\\\server\\C$\\Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"\\\\?\\C:\\Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"C:Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
    {"\\Program Files\\MOHAA\\mainta\\custom.cfg", std::nullopt},
};

TEST(VirtualStoreTest, NamesTheCopyOnlyBelowAProtectedFolder) {
    for (const auto& [path, copy] : kCases) {
        EXPECT_EQ(VirtualStoreCopy(path, kWindows), copy) << path;
    }
}

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
