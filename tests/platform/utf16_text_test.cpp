// Names between UTF-16 and UTF-8: every sequence of 16-bit units, paired or
// not, comes back unchanged, and bytes that are not UTF-8 are handed over.

#include "platform/utf16_text.h"

#include <gtest/gtest.h>
#include <string>

namespace quorvel {
namespace {

// Plain ASCII, Polish letters, past the basic plane, controls and NUL, a
// lone high surrogate, a lone low one at the end, a pair in the wrong order.
const std::pair<std::u16string, std::string> kCases[] = {
    {u"C:\\Games\\MOHAA", "C:\\Games\\MOHAA"},
    {u"C:\\Games\\\u0141\u00f3d\u017a", "C:\\Games\\\xC5\x81\xC3\xB3"
                                        "d\xC5\xBA"},
    {u"\U0001F3AE", "\xF0\x9F\x8E\xAE"},
    {std::u16string(u"a\x01\t\0b", 5), std::string("a\x01\t\0b", 5)},
    {u"x\xD83Cy", "x\xED\xA0\xBCy"},
    {u"x\xDFAE", "x\xED\xBE\xAE"},
    {u"\xDFAE\xD83C", "\xED\xBE\xAE\xED\xA0\xBC"},
};

TEST(Utf16Text, ConvertsBothWays) {
    for (const auto& [wide, utf8] : kCases) {
        EXPECT_EQ(Utf8FromUtf16(wide), utf8);
        EXPECT_EQ(Utf16FromUtf8(utf8), wide);
    }
}

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
