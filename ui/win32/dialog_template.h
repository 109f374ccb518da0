#pragma once

// A dialog template in memory (DLGTEMPLATEEX and its items), made from a
// form of the description laid out in dialog units, for DialogBoxIndirect.

#include "ui/forms/form_shapes.h"

#include <vector>
#include <windows.h>

namespace quorvel::win32 {

// The template of `form`: its frame, its caption, the window system's
// dialog font and each control in order. The buffer is WORD-sized and its
// start is DWORD-aligned, as DialogBoxIndirect needs.
std::vector<WORD> DialogTemplate(const forms::FormShape& form);

} // namespace quorvel::win32
