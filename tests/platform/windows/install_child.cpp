// One installation into a game folder on real files, through the Windows file
// service, answered "Medium", "Highest": the program that
// replace_under_wineserver_kill.sh stops at each step. Prints the messages
// shown and, when the installation went through, "installed" last; exits
// with the installation's result (0 when installed).
//
// Usage: install_child <game folder>

#include "core/installer.h"
#include "platform/host_file_service.h"
#include "tests/support/fake_registry_store.h"
#include "tests/support/scripted_window_system.h"

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
    test::ScriptedWindowSystem windows;
    test::ScriptedMainWindow window;
    Installer installer(windows, registry, files);
    installer.RunStartup(window);
    windows.Then(test::DialogStep::Answer("Medium"));
    windows.Then(test::DialogStep::Answer("Highest"));
    const InstallationResult result = installer.RunInstallation(window);
    for (const auto& message : windows.messagesShown) {
        std::printf("%s\n", message.text.c_str());
    }
    if (result == InstallationResult::Installed) {
        std::printf("installed\n");
    }
    return static_cast<int>(result);
}
