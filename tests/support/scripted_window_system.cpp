#include "tests/support/scripted_window_system.h"

#include "core/detail_choices.h"

#include <stdexcept>

namespace quorvel::test {

std::string ScriptedWindowSystem::Prompt(const std::string& text, const std::string& title,
                                         const std::string& defaultAnswer) {
    promptsShown.push_back({text, title, defaultAnswer});
    if (prompts_.empty()) {
        // No answer scripted: the player accepts the default.
        return defaultAnswer;
    }
    std::optional<std::string> answer = std::move(prompts_.front());
    prompts_.pop_front();
    return answer.value_or(std::string());
}

void ScriptedWindowSystem::ShowMessage(const std::string& text, const std::string& title,
                                       MessageIcon icon) {
    messagesShown.push_back({text, title, icon});
}

DetailDialogResult ScriptedWindowSystem::ShowDetailDialog(DetailDialogKind kind) {
    dialogsShown.push_back(kind);
    if (dialogs_.empty()) {
        throw std::logic_error("a detail dialog was shown that the test did not script");
    }
    DialogStep step = std::move(dialogs_.front());
    dialogs_.pop_front();
    switch (step.action) {
    case DialogStep::Action::Answer:
        if (!FindDetailAnswer(kind, step.button)) {
            throw std::logic_error("the dialog has no button \"" + step.button + "\"");
        }
        return {DialogOutcome::Answered, step.button};
    case DialogStep::Action::NeedToCheck:
        return {DialogOutcome::NeedToCheck, {}};
    case DialogStep::Action::CloseWindow:
        break;
    }
    return {DialogOutcome::ClosedWithoutAnswer, {}};
}

} // namespace quorvel::test
