#pragma once

// The program's icon, as the resource script puts it into quorvel.exe.

#include <windows.h>

namespace quorvel::win32 {

// Resource ID of the icon; the lowest, so Explorer shows it for the file.
inline constexpr int kProgramIconId = 1;

// Gives a window the icon, large (title bar switcher, 32 px) and small
// (title bar, taskbar, 16 px).
void SetProgramIcon(HWND window);

} // namespace quorvel::win32
