// The version record and the icon that packaging/quorvel.rc compiles into the
// program, read back from this test program's own file as Windows reads them
// (Explorer's Properties > Details, the taskbar and the file's icon).

#include "tests/support/temp_dir.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace quorvel {
namespace {

std::string ModulePath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    }
    return value;
}

class VersionResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(ModulePath().c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version record in " << ModulePath();
        info_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(ModulePath().c_str(), 0, size, info_.data()));
    }

    // A text of the record's string table, in its first (and only) language.
    std::string Text(const std::string& name) {
        struct Translation {
            WORD language;
            WORD codePage;
        }* translation = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(info_.data(), "\\VarFileInfo\\Translation",
                            reinterpret_cast<void**>(&translation), &length) ||
            length < sizeof *translation) {
            return "(no translation)";
        }
        char block[64];
        std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translation->language,
                      translation->codePage);
        char* text = nullptr;
        if (!VerQueryValueA(info_.data(), (block + name).c_str(), reinterpret_cast<void**>(&text),
                            &length) ||
            text == nullptr) {
            return "(no " + name + ")";
        }
        return std::string(text, length > 0 ? length - 1 : 0);
    }

    std::vector<char> info_;
};

TEST_F(VersionResourceTest, NamesTheProductAndItsVersion) {
    EXPECT_EQ(Text("ProductName"), "quorvel");
    EXPECT_EQ(Text("FileVersion"), "1.00");
    EXPECT_EQ(Text("ProductVersion"), "1.00");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    // 1,0,0,0: major and minor in the high word, build and revision in the low.
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

// The program's icon group holds exactly the images of packaging/quorvel.ico.
TEST(ProgramIconTest, IsTheIconFileOfThePackage) {
    const std::string ico = test::ReadBytes(QUORVEL_ICON_FILE);
    ASSERT_GE(ico.size(), 6u);
    ASSERT_EQ(LittleEndian(ico, 2, 2), 1u) << "not an icon file";
    const std::uint32_t images = LittleEndian(ico, 4, 2);

    const HMODULE self = GetModuleHandleA(nullptr);
    const HRSRC group =
        FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    ASSERT_NE(group, nullptr) << "no icon group 1";
    const auto* groupData = static_cast<const char*>(LockResource(LoadResource(self, group)));
    const std::string directory(groupData, SizeofResource(self, group));
    ASSERT_EQ(LittleEndian(directory, 4, 2), images);
    ASSERT_EQ(directory.size(), 6 + 14 * std::size_t{images});

    for (std::uint32_t i = 0; i < images; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const std::size_t file = 6 + 16 * std::size_t{i};
        const std::size_t entry = 6 + 14 * std::size_t{i};
        // Width and height, then the image's size in bytes.
        EXPECT_EQ(directory.substr(entry, 2), ico.substr(file, 2));
        const std::uint32_t bytes = LittleEndian(ico, file + 8, 4);
        EXPECT_EQ(LittleEndian(directory, entry + 8, 4), bytes);

        const WORD id = static_cast<WORD>(LittleEndian(directory, entry + 12, 2));
        const HRSRC image =
            FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3)); // RT_ICON
        ASSERT_NE(image, nullptr);
        const auto* imageData = static_cast<const char*>(LockResource(LoadResource(self, image)));
        EXPECT_EQ(std::string(imageData, SizeofResource(self, image)),
                  ico.substr(LittleEndian(ico, file + 12, 4), bytes));
    }
    EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(1)), nullptr);
}

} // namespace
} // namespace quorvel
