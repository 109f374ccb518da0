#pragma once

// What the installer needs from the window system, and nothing more. The Qt
// front end (Linux) and the Win32 front end (Windows) implement it for
// players; tests use a scripted one.

#include "platform/line_list.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel {

// Empty until a "Need to go Check" button sets it to 1; never reset.
using AbortFlagValue = std::optional<std::int16_t>;

// The one main window, as the installer sees it.
class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;

    // The visible list of custom.cfg lines (List1).
    virtual LineList& CurrentList() = 0;
    // The hidden list of lines to install (List2).
    virtual LineList& InstallList() = 0;

    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetLabel1Caption(const std::string& caption) = 0;

    // Closes the window; with no other window open, the program ends.
    virtual void Close() = 0;
};

enum class MessageIcon { None, Warning };

// The two detail questions of an installation.
enum class DetailDialogKind {
    Texture, // Form2, "Texture Detail"
    Model,   // Form3, "Model Detail"
};

// How a detail dialog ended.
enum class DialogOutcome {
    Answered,            // one of the answer buttons was pressed
    NeedToCheck,         // "Need to go Check" was pressed
    ClosedWithoutAnswer, // closed by the window system, no button pressed
};

// What the player did in a detail dialog. The installer decides what each
// answer means; the window only says which button it was.
struct DetailDialogResult {
    DialogOutcome outcome = DialogOutcome::ClosedWithoutAnswer;
    // For Answered: the text of the button pressed, such as "Medium".
    std::string answer;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // A modal one-line text prompt. Returns the text in the field when the
    // player confirms and the empty text when the player cancels.
    virtual std::string Prompt(const std::string& text, const std::string& title,
                               const std::string& defaultAnswer) = 0;

    // A modal message box with an OK button only; returns when it is pressed.
    virtual void ShowMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;

    // Shows a detail dialog modally, without an owner window, created afresh,
    // and returns once it has closed, saying which button closed it.
    virtual DetailDialogResult ShowDetailDialog(DetailDialogKind kind) = 0;
};

} // namespace quorvel
