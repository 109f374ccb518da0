#pragma once

#include "platform/window_system.h"

namespace quorvel::win32 {

// The window system on plain Win32: the folder prompt (a dialog from the
// resource script), message boxes, and the detail dialogs.
class Win32WindowSystem : public WindowSystem {
public:
    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    DetailDialogResult ShowDetailDialog(DetailDialogKind kind) override;
};

} // namespace quorvel::win32
