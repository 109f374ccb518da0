#pragma once

// The program's command line:
//
//   quorvel [--prefix DIR]     run, with the game looked for in the Wine prefix DIR
//   quorvel --help | -h        print how to use it
//   quorvel --version          print the version

#include <string>
#include <vector>

namespace quorvel {

struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Fail };

    Action action = Action::Run;
    std::string prefix; // the folder given with --prefix; empty when none
    // What to print before exiting (every action but Run), ended by a line
    // end: on standard output for ShowHelp and ShowVersion, on standard error
    // for Fail.
    std::string text;
    int exitStatus = 0; // the program's exit status when it does not run: 0, or 2 for Fail
};

// Reads the arguments that follow the program's name. The last --prefix wins;
// --help and --version answer at once, before anything after them is read.
// "--" ends the options; the program takes no other arguments. Arguments
// quoted in a message have their control characters escaped.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

} // namespace quorvel
