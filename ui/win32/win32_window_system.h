#pragma once

#include "platform/window_system.h"

#include <functional>

namespace quorvel::win32 {

// The window system on plain Win32: the folder prompt (an in-memory dialog
// template), message boxes, and the detail dialogs.
class Win32WindowSystem : public WindowSystem {
public:
    // Work done once the prompt shows, while it waits for the player, rather
    // than before it comes up: making the main window.
    void WhilePromptShows(std::function<void()> work) { whilePromptShows_ = std::move(work); }

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    DetailDialogResult ShowDetailDialog(DetailDialogKind kind) override;

private:
    std::function<void()> whilePromptShows_;
};

} // namespace quorvel::win32
