#include "core/installer.h"

#include "core/base_settings.h"
#include "core/config_files.h"
#include "core/installation_steps.h"

#include <vector>

namespace quorvel {
namespace {

// Everything an installation looks at before it writes: another copy of the
// program at work (held off by `locked`), the folder and both files. What
// stops it, when it cannot go on.
Refusal PrepareToWrite(FileService& files, InstallerState& state, InstallationPlan& plan,
                       const FileStatus& locked) {
    Refusal refusal = CheckBeforeWriting(files, plan, locked);
    if (!refusal) {
        refusal = RestoreLeftover(files, plan);
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

} // namespace

void Installer::RunStartup(MainWindowPort& mainWindow) {
    state_.GameFolder.clear();
    state_.NewConfigPath.clear();

    const RegistryValue stored = ReadRegistryValue(registry_, RegistryRoot::CurrentUser,
                                                   kGameRegistryKey, kGameRegistryValue);
    state_.GameFolder = BuildGameFolder(RegistryValueText(stored));
    if (state_.GameFolder.empty()) {
        // Found on disk rather than typed into the store: its own name may
        // hold an "aa" anywhere, so it is not cut.
        state_.GameFolder = foundFolder_;
    }

    // The player's answer is taken as it stands; cancelling gives the empty text.
    state_.GameFolder = windows_.Prompt(kFolderPrompt, kFolderPromptTitle, state_.GameFolder);

    mainWindow.SetCaption(kMainWindowCaption);
    state_.NewConfigPath = NewConfigPathFor(state_.GameFolder);
    state_.CustomCfgPath = CustomCfgPathFor(state_.GameFolder);

    // A custom.cfg that is missing, unreadable or empty is no error here: the
    // list simply stays empty, and the player sees that in the window.
    (void)ReadConfigLines(files_, state_.LineBuffer, state_.CustomCfgPath,
                          mainWindow.CurrentList());

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
    // Held from the checks to the last file put in place, so that another
    // copy of the program cannot write in between.
    const auto lock = LockMaintaFolder(files_, plan);
    if (const Refusal refusal = PrepareToWrite(files_, state_, plan, lock.Status())) {
        return GiveUp(windows_, installList, linesBefore, WordFailure(files_, *refusal),
                      InstallationResult::Refused);
    }

    PlanLines(installList, plan);
    const std::optional<InstallFailure> failure = WriteBothFiles(files_, plan);
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
    ShowNewCustomCfg(files_, state_, mainWindow);
    return InstallationResult::Installed;
}

} // namespace quorvel
