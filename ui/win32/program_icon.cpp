#include "ui/win32/program_icon.h"

namespace quorvel::win32 {
namespace {

HICON ProgramIcon(int metric) {
    // Shared: loaded once, never destroyed.
    return static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
        GetSystemMetrics(metric), GetSystemMetrics(metric), LR_DEFAULTCOLOR | LR_SHARED));
}

} // namespace

void SetProgramIcon(HWND window) {
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ProgramIcon(SM_CXICON)));
    SendMessageW(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(ProgramIcon(SM_CXSMICON)));
}

} // namespace quorvel::win32
