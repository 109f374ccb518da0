// What the machine can make the Win32 windows fail at is noted, not thrown:
// a form's window that cannot be made, a list that cannot take its rows. The noted failure stops
// the message loop.

#include "platform/line_list.h"
#include "ui/win32/form.h"
#include "ui/win32/list_box_view.h"
#include "ui/win32/message_loop.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace quorvel::win32 {
namespace {

struct FailureCase {
    const char* name;
    std::function<void()> cause;
    std::string noted; // how the failure noted begins
};

// A window that is no list view: it answers every list message with 0, as a
// list that cannot take its rows does.
void AttachToAStatic(std::size_t rows) {
    LineList lines;
    for (std::size_t i = 0; i < rows; ++i) {
        lines.Append("seta r_picmip 1");
    }
    ListBoxView view(lines);
    HWND notAList = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(notAList, nullptr);
    view.Attach(notAList);
    view.Attach(nullptr);
    DestroyWindow(notAList);
}

INT_PTR CALLBACK GoAtOnce(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        DestroyWindow(dialog);
    }
    return FALSE;
}

TEST(WindowFailure, IsNotedAndNotThrown) {
    const FailureCase cases[] = {
        {"a form whose window goes as it is made",
         [] {
             EXPECT_EQ(
                 CreateFormDialog(forms::DetailForm(DetailDialogKind::Model), &GoAtOnce, nullptr),
                 nullptr);
         },
         "cannot create the window Form3 (error "},
        {"a list that cannot take its rows", [] { AttachToAStatic(3); },
         "the list cannot hold 3 lines (error "},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(HasWindowFailure());
        EXPECT_NO_THROW(c.cause());
        const std::optional<std::string> noted = TakeWindowFailure();
        ASSERT_TRUE(noted);
        EXPECT_TRUE(noted->starts_with(c.noted)) << *noted;
        EXPECT_FALSE(HasWindowFailure());
    }
}

TEST(WindowFailure, TheFirstOneCountsAndStopsTheLoop) {
    NoteWindowFailure("cannot create the main window (error 8)");
    NoteWindowFailure("cannot create a font (error 8)");
    // Were the loop to go on, it would end with the quit message's code.
    PostQuitMessage(7);
    EXPECT_EQ(RunMessagesUntil([] { return false; }), std::nullopt);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(TakeWindowFailure(), "cannot create the main window (error 8)");
}

} // namespace
} // namespace quorvel::win32
