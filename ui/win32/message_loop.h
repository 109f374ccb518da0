#pragma once

// The thread's message loop, shared by the main window and the modal detail
// dialogs, and the two ways a failure inside a window procedure gets out of
// it: one the machine caused, noted as text, and a programming error, kept
// as an exception.
//
// The forms take Tab and the arrow keys as dialogs do, but Enter presses the
// focused push button and nothing else, and Escape does nothing: neither form
// has a default or cancel button.

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <windows.h>

namespace quorvel::win32 {

// Marks a top-level window as one whose keys the loop handles as above.
void MarkAsForm(HWND form);

// Runs the thread's messages until `finished` returns true (then nullopt), a
// WM_QUIT arrives (then its exit code; the WM_QUIT is posted again for any
// outer loop), or a window procedure has kept a failure (then nullopt; see
// RethrowKeptFailure).
std::optional<int> RunMessagesUntil(const std::function<bool()>& finished);

// What the machine can make the windows fail at (a window, a window class or
// a font that cannot be made, a list that cannot take its rows, a dialog or
// message box that cannot be shown) is not thrown: it is noted here, the
// first one counting, the loops stop, and WinMain says so in a message box
// and ends with exit code 1. Code that notes one carries on without the
// window; a detail dialog that could not be shown answers "Need to go
// Check", so that nothing is written.
void NoteWindowFailure(std::string what);
bool HasWindowFailure();
// The failure noted, now forgotten; nullopt when there is none.
std::optional<std::string> TakeWindowFailure();
// `what` followed by the thread's last error: "cannot ... (error 1407)".
std::string WithLastError(const std::string& what);

// Window procedures must not let an exception (a programming error) pass
// through the window system's frames. They keep it here instead; the loop stops, and whoever ran
// the loop rethrows it.
void KeepFailure(std::exception_ptr failure);
bool HasKeptFailure();
void RethrowKeptFailure();

// Calls `handle` and returns its result; an exception is kept, and
// `fallback` is returned instead.
template <typename Handle> LRESULT Guarded(LRESULT fallback, Handle&& handle) noexcept {
    try {
        return handle();
    } catch (...) {
        KeepFailure(std::current_exception());
        return fallback;
    }
}

} // namespace quorvel::win32
