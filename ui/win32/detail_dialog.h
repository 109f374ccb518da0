#pragma once

// The two detail questions of an installation, asked in dialogs of one shape:
// a word-wrapped label and a row or two of push buttons, all at fixed places.
//
//   Form2, "Texture Detail": High, Medium, Low, Need to go Check
//   Form3, "Model Detail":   Highest, Higher, High, Med, Low, Lowest, Need to go Check
//
// A button closes the dialog, which then tells which one it was; what an
// answer means is the installer's business. The title-bar close button
// closes it with no answer. Escape does nothing.

#include "platform/window_system.h"

namespace quorvel::win32 {

// Creates the dialog afresh, shows it modally without an owner (every other
// window of the program is disabled meanwhile), and returns once it has
// closed.
DetailDialogResult RunDetailDialog(DetailDialogKind kind);

} // namespace quorvel::win32
