// The version record and the icon that packaging/quorvel.rc compiles into the
// program, read back from this test program's own file as Windows reads them
// (Explorer's Properties > Details, the taskbar and the file's icon).

#include "core/identity.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <utility>
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

// The bytes of this program's resource `id` of type `type`; empty where it
// has none.
std::string ResourceBytes(WORD id, WORD type) {
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    const auto* data = found ? LockResource(LoadResource(nullptr, found)) : nullptr;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(nullptr, found)) : "";
}

// "Copyright (c) <year> <holder>", the line of LICENSE that names the holder.
std::string LicenceHolder() {
    const std::string licence = test::ReadBytes(QUORVEL_LICENSE_FILE);
    const std::size_t at = licence.find("Copyright (c)");
    return at == std::string::npos ? "(no holder in LICENSE)"
                                   : licence.substr(at, licence.find('\n', at) - at);
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
        // Its language and code page.
        WORD* translation = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(info_.data(), "\\VarFileInfo\\Translation",
                            reinterpret_cast<void**>(&translation), &length) ||
            length < 2 * sizeof(WORD)) {
            return "(no translation)";
        }
        char block[64];
        std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translation[0],
                      translation[1]);
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

TEST_F(VersionResourceTest, NamesTheProductItsMakerAndItsVersion) {
    const std::pair<const char*, std::string> texts[] = {
        {"ProductName", "quorvel"},
        {"FileVersion", kProgramVersion},
        {"ProductVersion", kProgramVersion},
        {"CompanyName", "The quorvel developers"},
        // The holder of the licence, as LICENSE names it.
        {"LegalCopyright", LicenceHolder()},
        {"OriginalFilename", "quorvel.exe"},
        {"InternalName", "quorvel"},
    };
    for (const auto& [name, text] : texts) {
        EXPECT_EQ(Text(name), text) << name;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    // Major and minor in the high word ("1.00" is 1,0), build and revision
    // (none) in the low.
    DWORD major = 0;
    DWORD minor = 0;
    ASSERT_EQ(std::sscanf(kProgramVersion, "%lu.%lu", &major, &minor), 2);
    const DWORD version = major << 16 | minor;
    EXPECT_EQ((std::vector<DWORD>{fixed->dwSignature, fixed->dwFileVersionMS,
                                  fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                                  fixed->dwProductVersionLS, fixed->dwFileType}),
              (std::vector<DWORD>{0xFEEF04BD, version, 0, version, 0, VFT_APP}));
}

// The program's icon group holds exactly the images of packaging/quorvel.ico,
// which has every size Explorer and the taskbar ask for at 96 to 192 dpi,
// each 32-bit with alpha: 256 as a PNG of 8-bit RGBA, the others as 32-bit
// bitmaps whose AND mask is transparent exactly where the alpha is, so that
// the corners draw as the background and not black.
TEST(ProgramIconTest, IsTheIconFileWithEverySizeAndAMaskToMatchTheAlpha) {
    const std::string ico = test::ReadBytes(QUORVEL_ICON_FILE);
    ASSERT_GE(ico.size(), 6u);
    ASSERT_EQ(LittleEndian(ico, 2, 2), 1u) << "not an icon file";
    const std::uint32_t images = LittleEndian(ico, 4, 2);
    const std::string directory = ResourceBytes(1, 14); // RT_GROUP_ICON
    ASSERT_EQ(directory.size(), 6 + 14 * std::size_t{images}) << "the icon group 1";
    ASSERT_EQ(LittleEndian(directory, 4, 2), images);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)), nullptr);

    std::vector<std::uint32_t> sizes;
    for (std::uint32_t i = 0; i < images; ++i) {
        const std::size_t file = 6 + 16 * std::size_t{i};
        const std::size_t entry = 6 + 14 * std::size_t{i};
        const std::uint32_t size =
            LittleEndian(ico, file, 1) == 0 ? 256 : LittleEndian(ico, file, 1);
        sizes.push_back(size);
        SCOPED_TRACE("size " + std::to_string(size));
        EXPECT_EQ(LittleEndian(ico, file + 6, 2), 32u) << "bits per pixel";
        const std::string image =
            ico.substr(LittleEndian(ico, file + 12, 4), LittleEndian(ico, file + 8, 4));
        // The group's entry: width and height, the image's size, and the
        // image itself under its ID.
        EXPECT_EQ(directory.substr(entry, 2), ico.substr(file, 2));
        EXPECT_EQ(LittleEndian(directory, entry + 8, 4), image.size());
        const auto id = static_cast<WORD>(LittleEndian(directory, entry + 12, 2));
        EXPECT_EQ(ResourceBytes(id, 3), image); // RT_ICON
        if (size == 256) {
            ASSERT_EQ(image.substr(0, 8), "\x89PNG\r\n\x1a\n");
            EXPECT_EQ(image.substr(12, 4), "IHDR");
            EXPECT_EQ(image.at(24), 8) << "bits per channel";
            EXPECT_EQ(image.at(25), 6) << "colour type: RGBA";
            continue;
        }
        ASSERT_EQ(LittleEndian(image, 0, 4), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(LittleEndian(image, 4, 4), size);
        EXPECT_EQ(LittleEndian(image, 8, 4), 2 * size) << "the colours and the mask";
        ASSERT_EQ(LittleEndian(image, 14, 2), 32u);
        const std::size_t pixels = 40;
        const std::size_t mask = pixels + 4 * size * size;
        const std::size_t stride = (size + 31) / 32 * 4;
        ASSERT_EQ(image.size(), mask + stride * size);
        for (std::size_t y = 0; y < size; ++y) {
            for (std::size_t x = 0; x < size; ++x) {
                const auto alpha =
                    static_cast<unsigned char>(image[pixels + 4 * (y * size + x) + 3]);
                const bool masked = (image[mask + y * stride + x / 8] & (0x80 >> (x % 8))) != 0;
                ASSERT_EQ(masked, alpha < 128) << "at " << x << ", " << y << " (from the bottom)";
            }
        }
        // Rows run from the bottom: the first pixel is the lower left corner.
        EXPECT_EQ(static_cast<unsigned char>(image[pixels + 3]), 0) << "an opaque corner";
    }
    EXPECT_EQ(sizes, (std::vector<std::uint32_t>{16, 20, 24, 32, 40, 48, 64, 256}));
}

} // namespace
} // namespace quorvel
