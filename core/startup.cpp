#include "base_settings.h"
#include "config_files.h"
#include "installer.h"

#include <vector>

namespace quorvel {
namespace {

bool EndsInAa(const std::string& text) {
    if (text.size() < 2) {
        return false;
    }
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return lower(text[text.size() - 2]) == 'a' && lower(text[text.size() - 1]) == 'a';
}

std::string PathInFolder(const std::string& gameFolder, std::string_view file) {
    std::string path(TrimSpaces(gameFolder));
    path.append("\\mainta\\").append(file);
    return path;
}

} // namespace

std::string BuildGameFolder(const std::string& registryText) {
    std::string folder;
    folder.reserve(registryText.size());
    // The stop test runs before each character is taken, so the "aa" that
    // ends the folder is kept and nothing after it is.
    for (const char c : registryText) {
        if (EndsInAa(folder)) {
            break;
        }
        folder.push_back(c);
    }
    return folder;
}

std::string CustomCfgPathFor(const std::string& gameFolder) {
    return PathInFolder(gameFolder, "custom.cfg");
}

std::string NewConfigPathFor(const std::string& gameFolder) {
    return PathInFolder(gameFolder, "newconfig.cfg");
}

void Installer::RunStartup(MainWindowPort& mainWindow) {
    state_.RegistryValueRead = std::string();
    state_.GameFolder.clear();
    state_.NewConfigPath.clear();

    state_.RegistryValueRead = ReadRegistryValue(registry_, RegistryRoot::CurrentUser,
                                                 kGameRegistryKey, kGameRegistryValue);
    state_.GameFolder = BuildGameFolder(RegistryValueText(state_.RegistryValueRead));

    // The player's answer is taken as it stands; cancelling gives the empty text.
    state_.GameFolder = windows_.Prompt(kFolderPrompt, kFolderPromptTitle, state_.GameFolder);

    mainWindow.SetCaption(kMainWindowCaption);
    state_.NewConfigPath = NewConfigPathFor(state_.GameFolder);
    state_.CustomCfgPath = CustomCfgPathFor(state_.GameFolder);

    // A custom.cfg that is missing, unreadable or empty is no error here: the
    // list simply stays empty, and the player sees that in the window.
    ReadConfigLines(files_, state_.LineBuffer, state_.CustomCfgPath, mainWindow.CurrentList());

    std::vector<std::string> base(BaseSettings.begin(), BaseSettings.end());
    mainWindow.InstallList().AppendMany(std::move(base));
}

} // namespace quorvel
