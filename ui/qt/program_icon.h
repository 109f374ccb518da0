#pragma once

// The program's icon, shown in the title bar of every window.

#include <QIcon>

namespace quorvel::ui {

// The resource path of the 32 x 32 icon image.
inline constexpr const char* kProgramIconPath = ":/quorvel/quorvel.png";

QIcon ProgramIcon();

} // namespace quorvel::ui
