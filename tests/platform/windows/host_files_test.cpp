// What only the Win32 host file service meets: devices and pipes, files that
// other programs hold open, hidden and read-only files, held folders, names
// too long for Windows, every spelling of a folder, and the wording of a
// refused write. What both host file services do alike is checked against
// both in host_file_service_test.cpp.

#include "core/config_files.h"
#include "platform/ascii.h"
#include "platform/host_file_service.h"
#include "platform/windows/file_paths.h"
#include "tests/support/stream_io.h"
#include "tests/support/temp_dir.h"
#include "tests/support/windows/test_roots.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include <windows.h>

namespace quorvel {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr const char* kNotAFile = "open: not a regular file";

class WindowsFilesTest : public ::testing::Test {
protected:
    // A path inside the test's folder.
    std::string Path(const std::string& name) const { return dir_ / name; }

    std::string ReadThrough(const std::string& path) { return test::ReadThrough(files_, path); }

    TempDir dir_;
    HostFileService files_;
};

// A device or a pipe is never taken for a file, and opening one never waits
// for it: NUL would swallow what is written, and reading a pipe blocks until
// its other end writes.
TEST_F(WindowsFilesTest, DevicesAndPipesAreNotFiles) {
    EXPECT_EQ(files_.Inspect("NUL").kind, EntryKind::Other);
    EXPECT_EQ(ReadThrough("NUL"), kNotAFile);
    EXPECT_FALSE(files_.CheckWritable("NUL"));
    EXPECT_FALSE(files_.OpenTextFile("NUL", OpenMode::Reading));

    const std::string pipe = "\\\\.\\pipe\\quorvel-test-" + std::to_string(std::random_device{}());
    const HANDLE server = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                           PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    // Only the open is tried: a stream on the pipe would block in ReadAll.
    const auto opened = files_.OpenTextFile(pipe, OpenMode::Reading);
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.Status().reason, "not a regular file");
    EXPECT_NE(files_.Inspect(pipe).kind, EntryKind::File);
    CloseHandle(server);
}

// What the checks say holds for the open that follows, also while another
// program has the file open: one that writes to it (a log, an editor) or one
// that reads it and lets nobody write meanwhile.
TEST_F(WindowsFilesTest, ChecksAgreeWithOpeningWhileAnotherProgramHasTheFile) {
    const std::string path = Path("custom.cfg");
    WriteBytes(path, "seta a 1\r\n");
    const std::pair<DWORD, DWORD> others[] = {{GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
                                              {GENERIC_READ, FILE_SHARE_READ}};
    for (const auto& [access, sharing] : others) {
        SCOPED_TRACE(access == GENERIC_WRITE ? "other program writes" : "other reads");
        const HANDLE held = CreateFileA(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        // Reading never keeps another program from its work, as on POSIX systems.
        EXPECT_TRUE(files_.OpenTextFile(path, OpenMode::Reading));
        EXPECT_EQ(ReadThrough(path), "seta a 1\r\n");
        const bool writable = static_cast<bool>(files_.CheckWritable(path));
        EXPECT_EQ(static_cast<bool>(ReplaceWholeFile(files_, path, {}, "seta a 1\r\n")), writable);
        CloseHandle(held);
    }
    EXPECT_EQ(ReadBytes(path), "seta a 1\r\n");
}

// A read-only file is refused by the check exactly when replacing it fails,
// and left as it was then. (Wine lets root write it: the check must still
// agree.)
TEST_F(WindowsFilesTest, ReadOnlyFiles) {
    const std::string locked = Path("newconfig.cfg");
    WriteBytes(locked, "seta b 2\r\n");
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    const FileStatus check = files_.CheckWritable(locked);
    const FileStatus write = ReplaceWholeFile(files_, locked, {}, "x\r\n");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(check.ok, write.ok);
    EXPECT_EQ(check.reason, write.reason);
    EXPECT_EQ(ReadBytes(locked), write ? "x\r\n" : "seta b 2\r\n");
}

// A replacement is written beside the file and put in its place whole: over
// a hidden file (which stays hidden), over a file another program reads
// (sharing deletion, as editors do) and where there was none. A new file left
// behind by an earlier run is replaced, and nothing else stays behind.
TEST_F(WindowsFilesTest, ReplacementsPutWholeFilesInPlace) {
    const std::string hidden = Path("custom.cfg");
    WriteBytes(hidden, "old text that is longer\r\n");
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const std::string fresh = Path("newconfig.cfg");
    WriteBytes(fresh + ".quorvel-new", "left by a run that stopped");
    const std::string bytes = "seta a \"\xE9\"\r\n";
    for (const std::string& path : {hidden, fresh}) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(ReplaceWholeFile(files_, path, {}, bytes));
        EXPECT_EQ(ReadBytes(path), bytes);
        EXPECT_EQ(GetFileAttributesA((path + ".quorvel-new").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_NE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    // Until it is put in place, the old file is untouched; dropped, the new
    // file goes.
    {
        auto replacement = files_.Replace(hidden, {});
        ASSERT_TRUE(replacement) << replacement.Status().reason;
        ASSERT_TRUE((*replacement)->Write("never put in place"));
        ASSERT_TRUE((*replacement)->Finish());
        EXPECT_EQ(ReadBytes(hidden + ".quorvel-new"), "never put in place");
        EXPECT_EQ(ReadBytes(hidden), bytes);
    }
    EXPECT_EQ(GetFileAttributesA((hidden + ".quorvel-new").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadBytes(hidden), bytes);
}

// A folder held can be neither renamed nor removed, so its path leads to it
// until it is let go; its files are written as usual meanwhile.
TEST_F(WindowsFilesTest, AHeldFolderStaysWhereItIs) {
    ASSERT_TRUE(CreateDirectoryA(Path("mainta").c_str(), nullptr));
    auto held = files_.OpenFolder(Path("mainta"));
    ASSERT_TRUE(held) << held.Status().reason;
    EXPECT_EQ((*held)->Identity(), files_.Identify(Path("mainta"))->value());
    EXPECT_FALSE(MoveFileA(Path("mainta").c_str(), Path("moved").c_str()));
    EXPECT_FALSE(RemoveDirectoryA(Path("mainta").c_str()));
    EXPECT_TRUE(ReplaceWholeFile(**held, Path("mainta\\custom.cfg"), {}, "seta a 1\r\n"));
    held.Value().reset();
    EXPECT_TRUE(MoveFileA(Path("mainta").c_str(), Path("moved").c_str()));
    EXPECT_EQ(ReadBytes(Path("moved\\custom.cfg")), "seta a 1\r\n");
}

// A file missing when its replacement began is not replaced once someone
// makes it meanwhile.
TEST_F(WindowsFilesTest, AFileMadeMeanwhileIsNotReplaced) {
    auto fresh = files_.Replace(Path("made.cfg"), {});
    ASSERT_TRUE(fresh && (*fresh)->Write("new\r\n") && (*fresh)->Finish());
    WriteBytes(Path("made.cfg"), "mine\r\n");
    EXPECT_FALSE((*fresh)->PutInPlace());
    EXPECT_EQ(ReadBytes(Path("made.cfg")), "mine\r\n");
}

// What stops a path for good, a name longer than Windows allows, is named
// as such, never as missing.
TEST_F(WindowsFilesTest, TooLongNamesAreNamedSo) {
    const std::string tooLong = Path(std::string(300, 'n'));
    EXPECT_EQ(files_.Inspect(tooLong).kind, EntryKind::Other);
    for (const FileStatus& status :
         {files_.CheckWritable(tooLong + "\\custom.cfg"),
          test::LockThrough(files_, tooLong).Status(),
          files_.OpenTextFile(tooLong + "\\custom.cfg", OpenMode::Reading).Status()}) {
        EXPECT_NE(status.reason.find("too long"), std::string::npos) << status.reason;
    }
}

// Every spelling of a folder resolves to its one long path, as the system
// sees it; names below it that do not exist yet are kept as written.
TEST_F(WindowsFilesTest, EverySpellingOfAFolderResolvesToItsLongPath) {
    const std::string folder = Path("Quorvel Long Name");
    const std::string game = folder + "\\MOHAA";
    ASSERT_TRUE(std::filesystem::create_directories(game));
    wchar_t shortNames[MAX_PATH] = {};
    GetShortPathNameW(windows_paths::WidePath(game).c_str(), shortNames, MAX_PATH);
    std::string upper = game;
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    const std::vector<std::string> spellings{upper,
                                             windows_paths::ProgramText(shortNames),
                                             "\\\\?\\" + game,
                                             folder + "/MOHAA/",
                                             folder + "\\..\\Quorvel Long Name\\.\\MOHAA",
                                             test::DriveZSpelling(game)};
    ASSERT_NE(spellings[1], game) << "the system gives no short names";
    for (const std::string& spelled : spellings) {
        if (!spelled.empty()) {
            EXPECT_EQ(windows_paths::FinalPath(spelled), game) << spelled;
            EXPECT_EQ(windows_paths::FinalPath(spelled + "\\mainta\\custom.cfg"),
                      game + "\\mainta\\custom.cfg")
                << spelled;
        }
    }
    EXPECT_EQ(windows_paths::FinalPath(game + "\\NUL\\mainta"), game + "\\NUL\\mainta");
}

// A refusal to write says what to do: a file marked read-only is named as
// such, and a folder that refuses new files says how to get past it.
TEST(WindowsFailureText, RefusedWritesGiveTheNextStep) {
    TempDir dir;
    const std::string locked = dir / "custom.cfg";
    WriteBytes(locked, "seta a 1\r\n");
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string plain = dir / "newconfig.cfg";
    WriteBytes(plain, "seta b 2\r\n");
    const std::tuple<DWORD, std::string, bool, const char*> cases[] = {
        {ERROR_ACCESS_DENIED, locked, false, "the file is marked read-only. Clear \"Read-only\""},
        {ERROR_ACCESS_DENIED, plain, true,
         "the folder does not let you create files in it (Denied)"},
        {ERROR_ACCESS_DENIED, plain, false, "Denied"},
        {ERROR_SHARING_VIOLATION, locked, false, "Denied"},
        {ERROR_FILENAME_EXCED_RANGE, plain, false, "the path is too long for Windows"},
    };
    for (const auto& [error, path, creating, says] : cases) {
        const std::string text = windows_paths::FailureText(error, path, creating, "Denied");
        EXPECT_EQ(text.rfind(says, 0), 0u) << text;
    }
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
} // namespace quorvel
