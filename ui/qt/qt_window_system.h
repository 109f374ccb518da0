#pragma once

// The window system as players see it: Qt prompts, message boxes and the
// detail dialogs. Every window it opens is modal, has no owner and is
// created afresh for each showing.
//
// Text crosses between the installer's byte strings and Qt in the local
// 8-bit encoding (UTF-8 on Linux, the ANSI code page on Windows), which is
// how the installer reads and writes its files and settings.
//
// Tests drive the windows while they are open by scheduling their steps with
// QTimer::singleShot before the call and finding the window through
// QApplication::activeModalWidget(). The windows carry object names for that:
// "Form2" and "Form3" with their controls, "QuorvelPrompt", "QuorvelMessage".

#include "platform/window_system.h"
#include "ui/forms/form_shapes.h"

#include <string>

namespace quorvel::ui {

inline constexpr const char* kPromptObjectName = forms::kPromptName;
inline constexpr const char* kMessageObjectName = "QuorvelMessage";

class QtWindowSystem : public WindowSystem {
public:
    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    DetailDialogResult ShowDetailDialog(DetailDialogKind kind) override;
};

} // namespace quorvel::ui
