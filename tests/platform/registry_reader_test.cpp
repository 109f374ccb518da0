// ReadRegistryValue over user.reg files as Wine writes them.

#include "platform/registry.h"
#include "platform/wine_registry.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace quorvel {
namespace {

using namespace std::string_view_literals;

constexpr std::string_view kUserReg = R"reg(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-1004336348-1177238915-682003330-1000

#arch=win64

[Software\\2015\\MOHAA] 1700000000
#time=1da0c8e6f2b3a10
"basepath"="C:\\Games\\MOHAA"
"Empty"=""
"Detail"=dword:00000005
"Minus"=dword:ffffffff
"Expanded"=str(2):"%ProgramFiles%\\MOHAA"
"Raw"=hex:01,02,03,04
@="default"

[Software\\Wine\\Drives] 1700000001
#time=1da0c8e6f2b3a11
"d:"="cdrom"
)reg";

const RegistryValue kEmpty{};

// Reads one value through a store made from `userReg`; every key that was
// opened for it must have been closed again.
RegistryValue Read(std::string_view userReg, const std::string& key, const std::string& name) {
    WineRegistryStore store(WineRegistryFile::Parse(userReg));
    RegistryValue value = ReadRegistryValue(store, RegistryRoot::CurrentUser, key, name);
    EXPECT_EQ(store.OpenHandleCount(), 0u) << key << " / " << name;
    return value;
}

RegistryValue ReadGame(std::string_view userReg, const std::string& name) {
    return Read(userReg, "Software\\2015\\MOHAA", name);
}

TEST(RegistryReader, ReadsStringsAndDoubleWordsOnly) {
    EXPECT_EQ(ReadGame(kUserReg, "basepath"), RegistryValue{std::string("C:\\Games\\MOHAA")});
    EXPECT_EQ(ReadGame(kUserReg, "Empty"), RegistryValue{std::string()});
    EXPECT_EQ(ReadGame(kUserReg, "Detail"), RegistryValue{std::int32_t{5}});
    EXPECT_EQ(ReadGame(kUserReg, "Minus"), RegistryValue{std::int32_t{-1}});
    EXPECT_EQ(ReadGame(kUserReg, ""), RegistryValue{std::string("default")});
    // Other types and missing entries give nothing.
    EXPECT_EQ(ReadGame(kUserReg, "Expanded"), kEmpty);
    EXPECT_EQ(ReadGame(kUserReg, "Raw"), kEmpty);
    EXPECT_EQ(ReadGame(kUserReg, "NoSuchValue"), kEmpty);
    EXPECT_EQ(Read(kUserReg, "Software\\2015\\MOHAA Spearhead", "basepath"), kEmpty);
    EXPECT_EQ(Read(kUserReg, "Software\\2015", "basepath"), kEmpty);
    EXPECT_EQ(Read("", "Software\\2015\\MOHAA", "basepath"), kEmpty);
}

TEST(RegistryReader, DoubleWordsOfOtherSizesReadAsWindowsReadsThem) {
    // Wine's hex(4) notation, like RegSetValueEx, stores a double word of any
    // size. A short one fills the low bytes; a long one does not fit the
    // four-byte query, which fails with ERROR_MORE_DATA and gives nothing.
    const std::string userReg = "[Software\\\\2015\\\\MOHAA]\n"
                                "\"Short\"=hex(4):05,01\n"
                                "\"None\"=hex(4):\n"
                                "\"Long\"=hex(4):01,02,03,04,05,06,07,08\n";
    EXPECT_EQ(ReadGame(userReg, "Short"), RegistryValue{std::int32_t{0x0105}});
    EXPECT_EQ(ReadGame(userReg, "None"), RegistryValue{std::int32_t{0}});
    EXPECT_EQ(ReadGame(userReg, "Long"), kEmpty);

    WineRegistryStore store(WineRegistryFile::Parse(userReg));
    RegistryStore::Handle key = 0;
    ASSERT_EQ(
        store.OpenKey(RegistryRoot::CurrentUser, "Software\\2015\\MOHAA", 0, reg::kAccessMask, key),
        reg::kSuccess);
    RegistryValue result;
    EXPECT_EQ(QueryRegistryValue(store, key, "Long", result), reg::kMoreData);
    EXPECT_EQ(result, kEmpty);
    store.CloseKey(key);
}

TEST(RegistryReader, MatchesKeysAndNamesInAnyLetterCase) {
    const RegistryValue expected{std::string("C:\\Games\\MOHAA")};
    EXPECT_EQ(Read(kUserReg, "SOFTWARE\\2015\\mohaa", "BasePath"), expected);
    EXPECT_EQ(Read(kUserReg, "software\\2015\\MoHaA\\", "BASEPATH"), expected);
    EXPECT_EQ(Read(kUserReg, "software\\wine\\DRIVES", "D:"), RegistryValue{std::string("cdrom")});
}

TEST(RegistryReader, DamagedFilesGiveNothingAndLeaveTheRestReadable) {
    std::string garbage;
    for (unsigned i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 2654435761u) >> 24);
    }
    garbage += "\n[\"@=\\\"\\x\\\n\0\\"sv;
    EXPECT_EQ(ReadGame(garbage, "basepath"), kEmpty);
    EXPECT_EQ(ReadGame(garbage + "\n" + std::string(kUserReg), "Detail"),
              RegistryValue{std::int32_t{5}});

    std::string longLine = "[Software\\\\2015\\\\MOHAA]\n\"basepath\"=\"";
    for (int i = 0; i < 1 << 20; ++i) {
        longLine += "\\x41";
    }
    EXPECT_EQ(ReadGame(longLine, "basepath"), kEmpty);
    EXPECT_EQ(ReadGame(longLine + "\n\"Detail\"=dword:7\n", "Detail"), RegistryValue{7});

    // Values below a header that cannot be read belong to no key, not to the
    // key before it.
    const std::string unclosed = "[Software\\\\2015\\\\MOHAA]\n\"Detail\"=dword:1\n"
                                 "[Software\\\\2015\\\\MOHAA\\\\Sub\n\"basepath\"=\"wrong\"\n";
    EXPECT_EQ(ReadGame(unclosed, "basepath"), kEmpty);
    EXPECT_EQ(ReadGame(unclosed, "Detail"), RegistryValue{1});
}

} // namespace
} // namespace quorvel
