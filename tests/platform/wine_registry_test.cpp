// The user.reg parser, the store made from it, and ReadRegistryValue over
// that store.

#include "platform/registry.h"
#include "platform/wine_registry.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace quorvel {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

constexpr std::string_view kSample = R"reg(WINE REGISTRY Version 2
#arch=win64

[Software\\2015\\MOHAA] 1700000000
#time=1da0c8e6f2b3a10
#class="Game"
"Path"="C:\\Games\\MOHAA"
"Count"=dword:2a
"Empty"=""
"Minus"=dword:ffffffff
"Expanded"=str(2):"%ProgramFiles%\\MOHAA"
"Raw"=hex:01,02,03,04
"Short"=hex(4):05,01
"None"=hex(4):
"Long"=hex(4):01,02,03,04,05,06,07,08
@="default"

[Software\\\xc9t\xc9\\Sub] 1700000002
"Multi"=str(7):"one\0two\0"
"WideMulti"=hex(7):6f,00,6e,00,65,00,00,00,74,00,77,00,6f,00,00,00,00,00
"WideExpand"=hex(2):25,00,41,00,25,00,00,00
"Word"=hex(4):01,02,03,04
"Nothing"=hex:
)reg";

// A value's type and data as text, or "-" when there is none.
std::string Show(const WineRegistryFile& file, std::string_view key, std::string_view name) {
    const WineRegistryFile::Value* value = file.Find(key, name);
    return value ? std::to_string(value->type) + ":" +
                       std::string(value->data.begin(), value->data.end())
                 : "-";
}

// The data of `"v"=<data>` in a one-key file.
std::string ParseData(std::string_view data) {
    const auto file = WineRegistryFile::Parse("[K]\n\"v\"=" + std::string(data) + "\n");
    return Show(file, "K", "v");
}

TEST(WineRegistryFile, ReadsEachDataForm) {
    EXPECT_EQ(ParseData(R"("a b")"), "1:a b\0"s);
    EXPECT_EQ(ParseData(R"(str:"x")"), "1:x\0"s);
    EXPECT_EQ(ParseData(R"(str(2):"%A%")"), "2:%A%\0"s);
    EXPECT_EQ(ParseData("dword:0000abcd"), "4:\xcd\xab\0\0"s);
    EXPECT_EQ(ParseData("hex(1):4d,00,e9,00,00,00"), "1:M\xc3\xa9\0"s);
    EXPECT_EQ(ParseData("hex(0):ff,0"), "0:\xff\0"s);
    EXPECT_EQ(ParseData("hex(20001):7"), "131073:\x07"s);
    // Malformed data is absent.
    for (std::string_view bad : {"dword:123456789", "dword:", "hex:1,,2", "hex:123", "hex(:01",
                                 "hex(1:41,00", "\"open", "str(3):\"x\"", "\"a\\"}) {
        EXPECT_EQ(ParseData(bad), "-") << bad;
    }

    const auto file = WineRegistryFile::Parse(kSample);
    EXPECT_EQ(Show(file, "software\\\xc3\x89t\xc3\xa9\\sub", "multi"), "7:one\0two\0\0"s);
    EXPECT_EQ(Show(file, "Software\\\xc3\xa9T\xc3\x89\\Sub", "WideMulti"), "7:one\0two\0\0"s);
    EXPECT_EQ(Show(file, "Software\\\xc3\xa9t\xc3\xa9\\Sub", "WideExpand"), "2:%A%\0"s);
    EXPECT_EQ(Show(file, "Software\\\xc3\xa9t\xc3\xa9\\Sub", "Word"), "4:\x01\x02\x03\x04"s);
    EXPECT_EQ(Show(file, "Software\\\xc3\xa9t\xc3\xa9\\Sub", "Nothing"), "3:");
}

TEST(WineRegistryFile, DecodesEscapesAsWineWritesThem) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {R"(\a\b\e\f\n\r\t\v)", "\a\b\x1b\f\n\r\t\v"},
        {R"(\101\60\0z)", "A0\0z"sv},
        {R"(\x41g\xg\x12345)", "Ag"
                               "xg\xe1\x88\xb4"
                               "5"},
        {R"(\q\[\]\"\\)", "q[]\"\\"},
        {R"(\xd83d\xde00)", "\xf0\x9f\x98\x80"},                      // a surrogate pair
        {R"(\xd83dx)", "\xef\xbf\xbdx"},                              // a lone surrogate
        {"\xc3\xa9\xe9\xe2\x82", "\xc3\xa9\xc3\xa9\xc3\xa2\xc2\x82"}, // UTF-8, then Latin-1
    };
    for (const auto& [escaped, expected] : cases) {
        EXPECT_EQ(ParseData("\"" + std::string(escaped) + "\""),
                  "1:" + std::string(expected) + '\0')
            << escaped;
    }
}

TEST(WineRegistryFile, FollowsContinuationLinesAndLineEndings) {
    std::string text = "\xEF\xBB\xBF[A\\\\B]\r\n\"Bin\"=hex:00,\\\r\n";
    std::string expected = "3:"s + '\0';
    for (int i = 1; i <= 100000; ++i) {
        text += "  " + std::to_string(i % 10) + ",\\\n";
        expected += static_cast<char>(i % 10);
    }
    text += "  ff\r\n\"After\"=\"ok\"\r\n";
    expected += '\xff';
    const auto file = WineRegistryFile::Parse(text);
    EXPECT_EQ(Show(file, "A\\B", "Bin"), expected);
    EXPECT_EQ(Show(file, "a\\b", "after"), "1:ok\0"s);

    // A continuation that runs into the end of the file is not a value.
    EXPECT_EQ(Show(WineRegistryFile::Parse("[K]\n\"v\"=hex:01,\\"), "K", "v"), "-");
}

TEST(WineRegistryFile, TruncatedTextKeepsNoWrongStrings) {
    const auto whole = WineRegistryFile::Parse(kSample);
    for (std::size_t length = 0; length <= kSample.size(); ++length) {
        const auto part = WineRegistryFile::Parse(kSample.substr(0, length));
        for (const auto& [key, name] : {std::pair{"Software\\2015\\MOHAA", "Path"},
                                        {"Software\\\xc3\xa9t\xc3\xa9\\Sub", "Multi"}}) {
            const std::string shown = Show(part, key, name);
            if (shown != "-") {
                EXPECT_EQ(shown, Show(whole, key, name)) << "length " << length;
            }
        }
    }
}

TEST(WineRegistryFile, LoadsFromDisk) {
    test::TempDir dir;
    EXPECT_FALSE(WineRegistryFile::Load(dir / "missing.reg").HasKey("Software"));
    EXPECT_FALSE(WineRegistryFile::Load(dir.Path().string()).HasKey("Software"));

    std::string big = std::string(kSample) + "[Big]\n\"v\"=\"" + std::string(8 << 20, 'z') + "\"\n";
    test::WriteBytes(dir.Path() / "user.reg", big);
    const auto file = WineRegistryFile::Load(dir / "user.reg");
    EXPECT_EQ(Show(file, "Software\\2015\\MOHAA", "Path"), "1:C:\\Games\\MOHAA\0"s);
    ASSERT_NE(file.Find("big", "V"), nullptr);
    EXPECT_EQ(file.Find("big", "V")->data.size(), (8u << 20) + 1);
}

TEST(WineRegistryStore, OpensExistingKeysOnlyAndQueriesLikeRegQueryValueExA) {
    WineRegistryStore store(WineRegistryFile::Parse(kSample));
    RegistryStore::Handle key = 77;
    for (const char* missing : {"Software\\2015\\MOHA", "Software\\20", "Other", "\\Software"}) {
        EXPECT_EQ(store.OpenKey(RegistryRoot::CurrentUser, missing, 0, reg::kAccessMask, key),
                  reg::kFileNotFound)
            << missing;
        EXPECT_EQ(key, 77u);
    }
    EXPECT_EQ(store.OpenKey(static_cast<RegistryRoot>(0x80000002u), "Software", 0, 0, key),
              reg::kInvalidHandle);

    RegistryStore::Handle a = 0, b = 0, root = 0;
    ASSERT_EQ(store.OpenKey(RegistryRoot::CurrentUser, "SOFTWARE", 0, 0x20019, a), reg::kSuccess);
    ASSERT_EQ(store.OpenKey(RegistryRoot::CurrentUser, "Software\\2015", 0, 0, b), reg::kSuccess);
    ASSERT_EQ(store.OpenKey(RegistryRoot::CurrentUser, "", 0, 0, root), reg::kSuccess);
    EXPECT_TRUE(a != 0 && b != 0 && root != 0 && a != b && b != root && a != root);
    EXPECT_EQ(store.OpenHandleCount(), 3u);

    EXPECT_EQ(store.CloseKey(b), reg::kSuccess);
    EXPECT_EQ(store.CloseKey(b), reg::kInvalidHandle);
    EXPECT_EQ(store.CloseKey(0), reg::kInvalidHandle);
    EXPECT_EQ(store.QueryValue(b, "Path", nullptr, nullptr, nullptr), reg::kInvalidHandle);
    EXPECT_EQ(store.OpenHandleCount(), 2u);

    // Reading values is left to ReadRegistryValue's tests; what it does not
    // look at is as RegQueryValueExA has it.
    ASSERT_EQ(store.OpenKey(RegistryRoot::CurrentUser, "software\\2015\\mohaa", 0, 0, key),
              reg::kSuccess);
    unsigned char buffer[32] = {};
    std::uint32_t type = 0, size = 14;
    EXPECT_EQ(store.QueryValue(key, "PATH", nullptr, buffer, &size), reg::kMoreData);
    EXPECT_EQ(size, 15u);

    type = size = 9;
    EXPECT_EQ(store.QueryValue(key, "Missing", &type, buffer, &size), reg::kFileNotFound);
    EXPECT_EQ(store.QueryValue(0, "Path", &type, nullptr, &size), reg::kInvalidHandle);
    EXPECT_EQ(store.QueryValue(key + 100, "Path", &type, nullptr, &size), reg::kInvalidHandle);
    EXPECT_EQ(type + size, 18u);
    // A double word too long for the four-byte query.
    RegistryValue result;
    EXPECT_EQ(QueryRegistryValue(store, key, "Long", result), reg::kMoreData);
    EXPECT_EQ(result, RegistryValue{});
    EXPECT_EQ(store.CloseKey(key), reg::kSuccess);
}

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
    EXPECT_EQ(ReadGame(kSample, "Path"), RegistryValue{std::string("C:\\Games\\MOHAA")});
    EXPECT_EQ(ReadGame(kSample, "Empty"), RegistryValue{std::string()});
    EXPECT_EQ(ReadGame(kSample, "Count"), RegistryValue{std::int32_t{42}});
    EXPECT_EQ(ReadGame(kSample, "Minus"), RegistryValue{std::int32_t{-1}});
    EXPECT_EQ(ReadGame(kSample, ""), RegistryValue{std::string("default")});
    // Other types and missing entries give nothing.
    EXPECT_EQ(ReadGame(kSample, "Expanded"), kEmpty);
    EXPECT_EQ(ReadGame(kSample, "Raw"), kEmpty);
    EXPECT_EQ(ReadGame(kSample, "NoSuchValue"), kEmpty);
    EXPECT_EQ(Read(kSample, "Software\\2015\\MOHAA Spearhead", "Path"), kEmpty);
    EXPECT_EQ(Read(kSample, "Software\\2015", "Path"), kEmpty);
    EXPECT_EQ(Read("", "Software\\2015\\MOHAA", "Path"), kEmpty);
    // Wine's hex(4) notation, like RegSetValueEx, stores a double word of any
    // size. A short one fills the low bytes; a long one does not fit the
    // four-byte query, which fails with ERROR_MORE_DATA and gives nothing.
    EXPECT_EQ(ReadGame(kSample, "Short"), RegistryValue{std::int32_t{0x0105}});
    EXPECT_EQ(ReadGame(kSample, "None"), RegistryValue{std::int32_t{0}});
    EXPECT_EQ(ReadGame(kSample, "Long"), kEmpty);
}

TEST(RegistryReader, MatchesKeysAndNamesInAnyLetterCase) {
    const RegistryValue expected{std::string("C:\\Games\\MOHAA")};
    EXPECT_EQ(Read(kSample, "SOFTWARE\\2015\\mohaa", "PaTh"), expected);
    EXPECT_EQ(Read(kSample, "software\\2015\\MoHaA\\", "PATH"), expected);
    EXPECT_EQ(Read(kSample, "SOFTWARE\\\xc3\x89t\xc3\xa9\\sub", "word"), RegistryValue{0x04030201});
}

TEST(RegistryReader, DamagedFilesGiveNothingAndLeaveTheRestReadable) {
    std::string garbage;
    for (unsigned i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 2654435761u) >> 24);
    }
    garbage += "\n[\"@=\\\"\\x\\\n\0\\"sv;
    EXPECT_EQ(ReadGame(garbage, "basepath"), kEmpty);
    EXPECT_EQ(ReadGame(garbage + "\n" + std::string(kSample), "Count"), RegistryValue{42});

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
