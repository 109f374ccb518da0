#include "core/installer.h"

#include "core/base_settings.h"
#include "core/config_files.h"
#include "core/installation_steps.h"

#include <vector>

namespace quorvel {
namespace {

// Everything an installation looks at in the held mainta folder before it
// writes. What stops it, when it cannot go on.
Refusal PrepareToWrite(HeldFolder& files, InstallerState& state, InstallationPlan& plan) {
    Refusal refusal = CheckBeforeWriting(files, plan);
    if (!refusal) {
        refusal = RestoreLeftover(files, plan);
    }
    // On the files as the writes will find them, the leftover in place.
    if (!refusal) {
        refusal = CheckTwoFiles(files, plan);
    }
    if (!refusal) {
        refusal = ReadReplacedCustomCfg(files, plan);
    }
    if (!refusal) {
        refusal = GatherEarlierLines(files, state, plan);
    }
    if (refusal && plan.leftoverRestored) {
        refusal->restoredLeftover = plan.newConfigPath;
    }
    return refusal;
}

// Leaves the window as it was before the questions, the install list
// included, so that trying again starts clean, and tells the player why.
InstallationResult GiveUp(WindowSystem& windows, LineList& installList, std::size_t linesBefore,
                          const std::string& why, InstallationResult result) {
    while (installList.Count() > linesBefore) {
        installList.RemoveAt(installList.Count() - 1);
    }
    windows.ShowMessage(why, kApplicationTitle, MessageIcon::Warning);
    return result;
}

// The folder the prompt offers: a preferred folder found on disk, else the
// settings store's, else a folder found on disk.
std::string FolderToOffer(RegistryStore& registry, const FoundFolders& found) {
    if (found.preferred) {
        return *found.preferred;
    }
    const RegistryValue stored = ReadRegistryValue(registry, RegistryRoot::CurrentUser,
                                                   kGameRegistryKey, kGameRegistryValue);
    std::string folder = BuildGameFolder(RegistryValueText(stored));
    return folder.empty() ? found.fallback : folder;
}

} // namespace

void Installer::RunStartup(MainWindowPort& mainWindow) {
    state_.GameFolder.clear();
    state_.NewConfigPath.clear();

    state_.GameFolder = FolderToOffer(registry_, found_);
    // The player's answer is taken as it stands; cancelling gives the empty text.
    state_.GameFolder = windows_.Prompt(kFolderPrompt, kFolderPromptTitle, state_.GameFolder);

    mainWindow.SetCaption(kMainWindowCaption);
    state_.NewConfigPath = NewConfigPathFor(state_.GameFolder);
    state_.CustomCfgPath = CustomCfgPathFor(state_.GameFolder);

    // Read in the mainta folder held, whose identity the installation
    // checks; where it cannot be held, as the path leads.
    auto folder = files_.OpenFolder(MaintaFolderFor(state_.GameFolder));
    state_.readFolder.reset();
    if (folder) {
        state_.readFolder = (*folder)->Identity();
    }
    FileOperations& files = folder ? static_cast<FileOperations&>(**folder) : files_;
    // A custom.cfg that is missing, unreadable or empty is no error here: the
    // list simply stays empty, and the player sees that in the window.
    (void)ReadConfigLines(files, state_.LineBuffer, state_.CustomCfgPath, mainWindow.CurrentList());

    std::vector<std::string> base(BaseSettings.begin(), BaseSettings.end());
    mainWindow.InstallList().AppendMany(std::move(base));
}

InstallationResult Installer::RunInstallation(MainWindowPort& mainWindow) {
    LineList& installList = mainWindow.InstallList();
    const std::size_t linesBefore = installList.Count();
    if (!AskDetailQuestions(windows_, installList, state_.AbortFlag)) {
        mainWindow.Close();
        return InstallationResult::Aborted;
    }

    InstallationPlan plan;
    plan.customPath = state_.CustomCfgPath;
    plan.newConfigPath = state_.NewConfigPath;
    // The folder is found once and held; every check and write below acts
    // on it, whatever its path leads to meanwhile. The lock is held from the
    // checks to the last file put in place, so that another copy of the
    // program cannot write in between.
    auto folder = files_.OpenFolder(MaintaFolder(plan));
    Refusal refusal = CheckFolderOpened(files_, plan, folder.Status());
    const auto lock = folder ? (*folder)->Lock() : folder.Status();
    if (!refusal) {
        refusal = CheckFolderHeld(state_, plan, **folder, lock.Status());
    }
    if (!refusal) {
        refusal = PrepareToWrite(**folder, state_, plan);
    }
    if (refusal) {
        return GiveUp(windows_, installList, linesBefore, WordFailure(files_, *refusal),
                      InstallationResult::Refused);
    }

    PlanLines(installList, plan);
    HeldFolder& files = **folder;
    const std::optional<InstallFailure> failure = WriteBothFiles(files, plan);
    if (failure && failure->step != InstallStep::FlushInstalled) {
        return GiveUp(windows_, installList, linesBefore, WordFailure(files_, *failure),
                      InstallationResult::Failed);
    }

    if (failure) {
        windows_.ShowMessage(WordFailure(files_, *failure), kApplicationTitle,
                             MessageIcon::Warning);
    } else {
        windows_.ShowMessage(kInstalledMessage, kApplicationTitle, MessageIcon::None);
    }
    ShowNewCustomCfg(files, state_, mainWindow);
    return InstallationResult::Installed;
}

} // namespace quorvel
