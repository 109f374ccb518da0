// The program's options.

#include "core/command_line.h"
#include "core/identity.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvel::test {
namespace {

using Action = CommandLine::Action;

const std::string kTryHelp = "Try 'quorvel --help' for more information.\n";

// Each form read: where it runs, the folder it runs with; where it shows help
// or the version, that text (of help its first line); where it fails, why,
// followed by the hint at --help, with exit status 2.
TEST(CommandLine, ReadsEachForm) {
    const std::string usage = "Usage: quorvel [--prefix DIR]";
    const std::string version = std::string("quorvel ") + kProgramVersion + "\n";
    const struct {
        std::vector<std::string> args;
        Action action;
        std::string expected; // the folder, the text, or why it failed
    } cases[] = {
        {{}, Action::Run, ""},
        {{"--prefix", "/games/wine"}, Action::Run, "/games/wine"},
        {{"--prefix=/a b"}, Action::Run, "/a b"},
        {{"--prefix", "/a", "--prefix=/b"}, Action::Run, "/b"},
        {{"--prefix", "--version"}, Action::Run, "--version"},
        {{"--help"}, Action::ShowHelp, usage},
        {{"--prefix", "/a", "-h", "--bogus"}, Action::ShowHelp, usage},
        {{"--version", "--help"}, Action::ShowVersion, version},
        {{"--prefix"}, Action::Fail, "option '--prefix' needs a folder"},
        {{"--prefix="}, Action::Fail, "option '--prefix' needs a folder"},
        {{"--prefx", "/a"}, Action::Fail, "unknown option '--prefx'"},
        {{"/a"}, Action::Fail, "unexpected argument '/a'"},
        {{"--"}, Action::Run, ""},
        {{"--prefix", "/a", "--"}, Action::Run, "/a"},
        {{"--prefix", "--"}, Action::Run, "--"},
        {{"--", "--help"}, Action::Fail, "unexpected argument '--help'"},
        // Control characters are escaped, C1 ones in UTF-8 too; other text stays.
        {{"--x\x1b[2J\x7f"}, Action::Fail, "unknown option '--x\\x1b[2J\\x7f'"},
        {{"\xc3\xa9\n\xc2\x9b"}, Action::Fail, "unexpected argument '\xc3\xa9\\x0a\\xc2\\x9b'"},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        const std::string shown =
            line.action == Action::ShowHelp ? line.text.substr(0, line.text.find('\n')) : line.text;
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.front());
        const bool runs = c.action == Action::Run;
        const bool fails = c.action == Action::Fail;
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.prefix, runs ? c.expected : "");
        EXPECT_EQ(shown, runs    ? ""
                         : fails ? "quorvel: " + c.expected + "\n" + kTryHelp
                                 : c.expected);
        EXPECT_EQ(line.exitStatus, fails ? 2 : 0);
    }
}

} // namespace
} // namespace quorvel::test
