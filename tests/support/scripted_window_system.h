#pragma once

// A window system without a screen: prompts, messages and dialogs are
// answered from a script, and everything shown is recorded.

#include "platform/line_list.h"
#include "platform/window_system.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::test {

class ScriptedMainWindow : public MainWindowPort {
public:
    LineList& CurrentList() override { return current; }
    LineList& InstallList() override { return install; }
    void SetCaption(const std::string& text) override { caption = text; }
    void SetLabel1Caption(const std::string& text) override { label1 = text; }
    void Close() override { closed = true; }

    LineList current;
    LineList install;
    std::string caption = "Quorvel Config Installation 1.3";
    std::string label1 = "Current Custom.cfg settings";
    bool closed = false;
};

struct PromptRecord {
    std::string text;
    std::string title;
    std::string defaultAnswer;
};

struct MessageRecord {
    std::string text;
    std::string title;
    MessageIcon icon;
};

// What the player does in a detail dialog.
struct DialogStep {
    enum class Action { Answer, NeedToCheck, CloseWindow };
    Action action = Action::Answer;
    std::string button; // for Answer: the button's text

    static DialogStep Answer(std::string button) { return {Action::Answer, std::move(button)}; }
    static DialogStep NeedToCheck() { return {Action::NeedToCheck, {}}; }
    static DialogStep CloseWindow() { return {Action::CloseWindow, {}}; }
};

class ScriptedWindowSystem : public WindowSystem {
public:
    // Queues the player's answer to the next prompt; nullopt cancels it.
    void AnswerPrompt(std::optional<std::string> answer) { prompts_.push_back(std::move(answer)); }
    // Queues what the player does in the next detail dialog.
    void Then(DialogStep step) { dialogs_.push_back(std::move(step)); }

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    DetailDialogResult ShowDetailDialog(DetailDialogKind kind) override;

    std::vector<PromptRecord> promptsShown;
    std::vector<MessageRecord> messagesShown;
    std::vector<DetailDialogKind> dialogsShown;

private:
    std::deque<std::optional<std::string>> prompts_;
    std::deque<DialogStep> dialogs_;
};

} // namespace quorvel::test
