#pragma once

// Screen density: the layout is given in pixels at 96 dots per inch and is
// scaled to the density of the monitor a window is on. The per-monitor calls
// exist from Windows 10 on; older systems get their system-wide equivalents.

#include <windows.h>

namespace quorvel::win32 {

inline constexpr int kLayoutDpi = 96;

// A length of the layout at `dpi`, rounded to the nearest pixel.
int ScaleToDpi(int pixelsAt96, int dpi);

// The LOGFONT height (negative: the character height) of a font of
// `centiPoints` hundredths of a point at `dpi`.
int FontHeightForDpi(int centiPoints, int dpi);

// The density of the monitor the window is on.
int DpiOfWindow(HWND window);

// The outer size of a window whose client area is `clientWidth` x
// `clientHeight` at `dpi`.
SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

// Keeps the system from resizing a dialog and its controls, and from
// changing their fonts, when the dialog moves to a monitor of another
// density: the form places its controls itself on WM_DPICHANGED.
void KeepDialogLayout(HWND dialog);

// The window system's message font (the one dialogs use) at `dpi`.
LOGFONTW MessageFontForDpi(int dpi);

} // namespace quorvel::win32
