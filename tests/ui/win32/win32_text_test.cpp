// The Win32 front end's arithmetic and text: the conversion between the
// program's UTF-8 and code-page bytes and the UTF-16 the windows show, the text of a
// list row, and the scaling of the fonts of the 96-dpi layout.

#include "platform/line_list.h"
#include "ui/win32/dpi.h"
#include "ui/win32/wide_text.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace quorvel::win32 {
namespace {

struct CodePageCase {
    unsigned codePage;
    std::string bytes;
    std::wstring text;
};

class CodePageTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageTest, WidensAndNarrowsBack) {
    const CodePageCase& c = GetParam();
    EXPECT_EQ(Widen(c.bytes, c.codePage), c.text);
    EXPECT_EQ(Narrow(c.text, c.codePage), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, CodePageTest,
    ::testing::Values(CodePageCase{1252, "", L""},
                      CodePageCase{1252, "C:\\Games\\MOHAA", L"C:\\Games\\MOHAA"},
                      // The same byte is a different letter in another code page.
                      CodePageCase{1252, "D:\\Spiele\\\xC4rger", L"D:\\Spiele\\\u00C4rger"},
                      CodePageCase{1251, "D:\\\xC8\xE3\xF0\xFB", L"D:\\\u0418\u0433\u0440\u044B"},
                      CodePageCase{1252, "bind \x80 \"+attack\"\r", L"bind \u20AC \"+attack\"\r"}));

// The program's own text (paths, messages) is UTF-8, whatever the code page;
// bytes that are not UTF-8, such as a system text of an A call, are read in
// the code page.
TEST(ProgramTextTest, IsUtf8AndOtherBytesAreReadInTheCodePage) {
    const std::string lodz = "C:\\\xC5\x81\xC3\xB3"
                             "d\xC5\xBA";
    EXPECT_EQ(Widen(lodz), L"C:\\\u0141\u00f3d\u017a");
    EXPECT_EQ(Narrow(L"C:\\\u0141\u00f3d\u017a"), lodz);
    const std::string denied = Narrow(L": Acc\u00e8s refus\u00e9", kAnsiCodePage);
    EXPECT_EQ(Widen(lodz + denied), L"C:\\\u0141\u00f3d\u017a: Acc\u00e8s refus\u00e9") << GetACP();
}

// A line up to the display limit shows whole; a longer one is cut there and
// ends in an ellipsis.
TEST(RowTextTest, ShowsLinesWholeUpToTheLimit) {
    EXPECT_EQ(RowText("setu r_picmip 1", 1252), L"setu r_picmip 1");
    EXPECT_EQ(RowText(std::string(kDisplayLimit, 'x'), 1252), std::wstring(kDisplayLimit, L'x'));
    const std::wstring row = RowText("setu " + std::string(5000, '\xE9'), 1252);
    ASSERT_EQ(row.size(), kDisplayLimit + 1);
    EXPECT_EQ(row.substr(0, 5), L"setu ");
    EXPECT_EQ(row[kDisplayLimit - 1], L'\u00E9');
    EXPECT_EQ(row.back(), L'\u2026');
}

struct FontCase {
    int centiPoints;
    int dpi;
    int height;
};

class FontHeightTest : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontHeightTest, GivesTheCharacterHeightInPixels) {
    EXPECT_EQ(FontHeightForDpi(GetParam().centiPoints, GetParam().dpi), GetParam().height);
}

// 14.25 pt is 19 px at 96 dpi, 12 pt 16 px, 9.75 pt 13 px.
INSTANTIATE_TEST_SUITE_P(Fonts, FontHeightTest,
                         ::testing::Values(FontCase{1425, 96, -19}, FontCase{1200, 96, -16},
                                           FontCase{975, 96, -13}, FontCase{1425, 144, -29},
                                           FontCase{975, 120, -16}));

} // namespace
} // namespace quorvel::win32
