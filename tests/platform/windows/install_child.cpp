// One installation into a game folder on real files, through the Windows file
// service, answered "Medium", "Highest": the program that
// replace_under_wineserver_kill.sh stops at each step. Prints the messages
// shown and, when the installation went through, "installed" last; exits
// with the installation's result (0 when installed).
//
// Usage: install_child <game folder>

#include "platform/host_file_service.h"
#include "tests/support/installation_runs.h"

#include <cstdio>

int main(int argc, char** argv) {
    using namespace quorvel;
    if (argc != 2) {
        std::fprintf(stderr, "usage: install_child <game folder>\n");
        return 64;
    }
    test::FakeRegistryStore registry;
    registry.SetString(kGameRegistryKey, kGameRegistryValue, argv[1]);
    HostFileService files;
    test::ProgramRun run(registry, files);
    const InstallationResult result = run.Install();
    for (const auto& message : run.windows.messagesShown) {
        std::printf("%s\n", message.text.c_str());
    }
    if (result == InstallationResult::Installed) {
        std::printf("installed\n");
    }
    return static_cast<int>(result);
}
