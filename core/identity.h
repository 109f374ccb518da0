#pragma once

// Who the program is: the name, version and captions that every front end
// and the package share.

#include "core/version.h"

namespace quorvel {

inline constexpr const char* kProgramName = "quorvel";
inline constexpr const char* kProgramVersion = QUORVEL_VERSION;
// The desktop entry and AppStream id on Linux.
inline constexpr const char* kDesktopFileId = "io.github.quorvel.Quorvel";

// The main window's caption when it is created; start-up replaces it before
// the window is first shown.
inline constexpr const char* kMainWindowCreationCaption = "Quorvel Config Installation 1.3";

// The title of the program's message boxes.
inline constexpr const char* kApplicationTitle = kProgramName;

} // namespace quorvel
