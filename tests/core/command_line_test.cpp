// The program's options.

#include "core/command_line.h"
#include "core/identity.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using Action = CommandLine::Action;

const std::string kTryHelp = "Try 'quorvel --help' for more information.\n";

TEST(CommandLine, ReadsEachForm) {
    const struct {
        std::vector<std::string> args;
        Action action;
        std::string prefix;
        std::string text; // the whole text, or for help its first line
        int status;
    } cases[] = {
        {{}, Action::Run, "", "", 0},
        {{"--prefix", "/games/wine"}, Action::Run, "/games/wine", "", 0},
        {{"--prefix=/a b"}, Action::Run, "/a b", "", 0},
        {{"--prefix", "/a", "--prefix=/b"}, Action::Run, "/b", "", 0},
        {{"--prefix", "--version"}, Action::Run, "--version", "", 0},
        {{"--help"}, Action::ShowHelp, "", "Usage: quorvel [--prefix DIR]", 0},
        {{"--prefix", "/a", "-h", "--bogus"},
         Action::ShowHelp,
         "",
         "Usage: quorvel [--prefix DIR]",
         0},
        {{"--version", "--help"},
         Action::ShowVersion,
         "",
         std::string("quorvel ") + kProgramVersion + "\n",
         0},
        {{"--prefix"},
         Action::Fail,
         "",
         "quorvel: option '--prefix' needs a folder\n" + kTryHelp,
         2},
        {{"--prefix="},
         Action::Fail,
         "",
         "quorvel: option '--prefix' needs a folder\n" + kTryHelp,
         2},
        {{"--prefx", "/a"}, Action::Fail, "", "quorvel: unknown option '--prefx'\n" + kTryHelp, 2},
        {{"/a"}, Action::Fail, "", "quorvel: unexpected argument '/a'\n" + kTryHelp, 2},
        {{"--"}, Action::Run, "", "", 0},
        {{"--prefix", "/a", "--"}, Action::Run, "/a", "", 0},
        {{"--prefix", "--"}, Action::Run, "--", "", 0},
        {{"--", "--help"},
         Action::Fail,
         "",
         "quorvel: unexpected argument '--help'\n" + kTryHelp,
         2},
        // Control characters are escaped, C1 ones in UTF-8 too; other text stays.
        {{"--x\x1b[2J\x7f"},
         Action::Fail,
         "",
         "quorvel: unknown option '--x\\x1b[2J\\x7f'\n" + kTryHelp,
         2},
        {{"\xc3\xa9\n\xc2\x9b"},
         Action::Fail,
         "",
         "quorvel: unexpected argument '\xc3\xa9\\x0a\\xc2\\x9b'\n" + kTryHelp,
         2},
    };
    for (const auto& expected : cases) {
        const CommandLine line = ParseCommandLine(expected.args);
        const std::string shown =
            line.action == Action::ShowHelp ? line.text.substr(0, line.text.find('\n')) : line.text;
        SCOPED_TRACE(expected.args.empty() ? "(none)" : expected.args.front());
        EXPECT_EQ(line.action, expected.action);
        EXPECT_EQ(line.prefix, expected.prefix);
        EXPECT_EQ(shown, expected.text);
        EXPECT_EQ(line.exitStatus, expected.status);
    }
}

} // namespace
} // namespace quorvel
