#pragma once

// Dialog templates in memory (DLGTEMPLATEEX and its items), made from a form
// of the description, for DialogBoxIndirect and CreateDialogIndirect.

#include "ui/forms/form_shapes.h"

#include <vector>
#include <windows.h>

namespace quorvel::win32 {

// The template of `form`: its frame, its caption, the window system's
// dialog font and each control in order. The buffer is WORD-sized and its
// start is DWORD-aligned, as DialogBoxIndirect needs.
std::vector<WORD> DialogTemplate(const forms::FormShape& form);

// The template of a form laid out in pixels: its frame and caption in the
// dialog class (#32770), without controls, which FormControls then makes at
// their pixel boxes. The window is a dialog to the system and its screen
// readers, which then read the text it holds when it opens.
std::vector<WORD> FrameTemplate(const forms::FormShape& form);

} // namespace quorvel::win32
