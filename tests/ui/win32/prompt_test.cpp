// The folder prompt of the Win32 window system, shown in this process.

#include "ui/win32/program_icon.h"
#include "ui/win32/win32_window_system.h"

#include <gtest/gtest.h>
#include <utility>

namespace quorvel::win32 {
namespace {

HICON IconOf(HWND window, WPARAM size) {
    return reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, size, 0));
}

HICON ProgramIconSized(int metric) {
    return static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
        GetSystemMetrics(metric), GetSystemMetrics(metric), LR_DEFAULTCOLOR | LR_SHARED));
}

// The prompt has the program's icons, big and small, by the time the work
// done while it shows begins.
TEST(Win32Prompt, HasTheProgramsIconsOnceShown) {
    Win32WindowSystem windows;
    std::pair<HICON, HICON> icons;
    windows.WhilePromptShows([&icons] {
        const HWND prompt = FindWindowW(nullptr, L"Icon Prompt");
        icons = {IconOf(prompt, ICON_BIG), IconOf(prompt, ICON_SMALL)};
        PostMessageW(prompt, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(windows.Prompt("Which folder?", "Icon Prompt", "C:\\Games"), "");
    ASSERT_NE(ProgramIconSized(SM_CXICON), nullptr);
    EXPECT_EQ(icons.first, ProgramIconSized(SM_CXICON));
    EXPECT_EQ(icons.second, ProgramIconSized(SM_CXSMICON));
}

} // namespace
} // namespace quorvel::win32
