// Names between UTF-16 and UTF-8: every sequence of 16-bit units, paired or
// not, comes back unchanged, and bytes that are not UTF-8 are handed over.

#include "platform/utf16_text.h"

#include <gtest/gtest.h>
#include <string>

namespace quorvel {
namespace {

struct Case {
    const char* name;
    std::u16string wide;
    std::string utf8;
};

const Case kCases[] = {
    {"Ascii", u"C:\\Games\\MOHAA", "C:\\Games\\MOHAA"},
    {"PolishLetters", u"C:\\Games\\\u0141\u00f3d\u017a",
     "C:\\Games\\\xC5\x81\xC3\xB3"
     "d\xC5\xBA"},
    {"PastTheBasicPlane", u"\U0001F3AE", "\xF0\x9F\x8E\xAE"},
    {"ControlsAndNul", std::u16string(u"a\x01\t\0b", 5), std::string("a\x01\t\0b", 5)},
    {"LoneHighSurrogate", u"x\xD83Cy", "x\xED\xA0\xBCy"},
    {"LoneLowSurrogateAtTheEnd", u"x\xDFAE", "x\xED\xBE\xAE"},
    {"SurrogatesInTheWrongOrder", u"\xDFAE\xD83C", "\xED\xBE\xAE\xED\xA0\xBC"},
};

class Utf16TextTest : public ::testing::TestWithParam<Case> {};

TEST_P(Utf16TextTest, ConvertsBothWays) {
    EXPECT_EQ(Utf8FromUtf16(GetParam().wide), GetParam().utf8);
    EXPECT_EQ(Utf16FromUtf8(GetParam().utf8), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(Names, Utf16TextTest, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Bytes of a code page, a cut-off sequence or an overlong form are no UTF-8:
// each run of them is handed over whole, and what follows is read again.
TEST(Utf16TextOtherBytes, EachRunIsHandedOverWhole) {
    std::string runs;
    const OtherBytes mark = [&runs](std::string_view bytes, std::u16string& out) {
        runs += std::string(bytes) + "|";
        out += u'#';
    };
    EXPECT_EQ(Utf16FromUtf8("J\xE9r\xF4me \xC3\xA9\xC0\xAF \xE2\x82", mark), u"J#r#me \u00e9# #");
    EXPECT_EQ(runs, "\xE9|\xF4|\xC0\xAF|\xE2\x82|");
    EXPECT_EQ(Utf16FromUtf8("a\xFF\xFE"), u"a\uFFFD\uFFFD");
}

} // namespace
} // namespace quorvel
