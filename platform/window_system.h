#pragma once

// What the installer needs from the window system, and nothing more. The Qt
// user interface implements it for players; tests use a scripted one.

#include "line_list.h"

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
    Answered,            // an answer's lines were appended to the install list
    NeedToCheck,         // "Need to go Check": nothing appended, abort flag set to 1
    ClosedWithoutAnswer, // closed by the window system: nothing appended or set
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
    // and returns once it has closed. An answer button appends its lines to
    // `installList`; "Need to go Check" sets `abortFlag` to 1.
    virtual DialogOutcome ShowDetailDialog(DetailDialogKind kind, LineList& installList,
                                           AbortFlagValue& abortFlag) = 0;
};

} // namespace quorvel
