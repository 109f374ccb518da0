#include "core/command_line.h"

#include "core/identity.h"
#include "platform/unicode_text.h"

#include <string_view>

namespace quorvel {
namespace {

constexpr std::string_view kUsage =
    "Usage: quorvel [--prefix DIR]\n"
    "Installs the Quorvel console settings into MOHAA's custom.cfg.\n"
    "Changes two files in the game's mainta folder: custom.cfg, rewritten with\n"
    "the settings, and newconfig.cfg, which keeps your own lines from it.\n"
    "\n"
    "  --prefix DIR  use the Wine prefix DIR (before $WINEPREFIX and the\n"
    "                prefixes of Wine, Lutris, Heroic, Bottles, Steam,\n"
    "                winetricks and PlayOnLinux)\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n";

CommandLine Fail(const std::string& problem) {
    CommandLine line;
    line.action = CommandLine::Action::Fail;
    line.text = "quorvel: " + problem + "\nTry 'quorvel --help' for more information.\n";
    line.exitStatus = 2;
    return line;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!options) {
            return Fail("unexpected argument '" + EscapeControls(arg) + "'");
        }
        if (arg == "--") {
            options = false; // what follows is no option, and none is taken
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::ShowHelp;
            line.text = kUsage;
            line.prefix.clear();
            return line;
        }
        if (arg == "--version") {
            line.action = CommandLine::Action::ShowVersion;
            line.text = std::string(kProgramName) + " " + kProgramVersion + "\n";
            line.prefix.clear();
            return line;
        }
        std::string prefix;
        if (arg == "--prefix") {
            if (i + 1 == args.size()) {
                return Fail("option '--prefix' needs a folder");
            }
            prefix = args[++i];
        } else if (arg.rfind("--prefix=", 0) == 0) {
            prefix = arg.substr(9);
        } else if (!arg.empty() && arg.front() == '-') {
            return Fail("unknown option '" + EscapeControls(arg) + "'");
        } else {
            return Fail("unexpected argument '" + EscapeControls(arg) + "'");
        }
        if (prefix.empty()) {
            return Fail("option '--prefix' needs a folder");
        }
        line.prefix = std::move(prefix);
    }
    return line;
}

} // namespace quorvel
