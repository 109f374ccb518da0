// Steam's KeyValues text, as far as libraryfolders.vdf needs it.

#include "platform/wine/vdf.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using namespace std::string_literals;
using Folders = std::vector<std::string>;

TEST(Vdf, ReadsTheLibraryFoldersOfEitherForm) {
    const struct {
        const char* text;
        Folders folders;
    } cases[] = {
        {R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/me/.local/share/Steam"
		"label"		""
		"apps" { "2200" "4123" }
	}
	"1" { "label" "no path" }
	"2" { "PATH" "/mnt/games/Steam Library" }
})",
         {"/home/me/.local/share/Steam", "/mnt/games/Steam Library"}},
        {R"("LibraryFolders"
{
	"TimeNextStatsReport"	"1700000000"
	"ContentStatsID"	"-123"
	"1"	"/mnt/old"
})",
         {"/mnt/old"}},
        // Comments, unquoted words, conditions and escapes.
        {"// written by Steam\nlibraryfolders { 1 /mnt/a [$LINUX] // one\n"
         "\"2\" \"/mnt/\\\"b\\\"\\\\c\\d\" }",
         {"/mnt/a", "/mnt/\"b\"\\c\\d"}},
        {"\"other\" { \"1\" \"/mnt/a\" }", {}},
    };
    for (const auto& [text, folders] : cases) {
        EXPECT_EQ(vdf::LibraryFolders(text), folders) << text;
    }
}

TEST(Vdf, RefusesMalformedTextAndDeepNesting) {
    const auto nested = [](std::size_t depth) {
        std::string text;
        for (std::size_t i = 0; i < depth; ++i) {
            text += "k {";
        }
        return text + std::string(depth, '}');
    };
    EXPECT_TRUE(vdf::Parse(nested(vdf::kMaxDepth)).has_value());
    for (const std::string& text :
         {R"("a" { "b" "c")"s, R"("a" "b" })"s, R"("a" "unclosed)"s, R"("a")"s, R"({ "a" "b" })"s,
          R"("a" [$X)"s, R"("a" { "b" })"s, nested(vdf::kMaxDepth + 1), nested(100000)}) {
        EXPECT_FALSE(vdf::Parse(text).has_value()) << text.substr(0, 40);
    }
}

} // namespace
} // namespace quorvel
