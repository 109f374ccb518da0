#pragma once

// Drives the real quorvel.exe from outside, as a player would: the game folder
// in the registry, the program started as a process of its own, its windows
// found by caption among the process's top-level windows, and its buttons and
// keys pressed through window messages. Every wait gives up after a bounded
// time, so that a program that hangs or opens something unexpected fails the
// test instead of blocking it; a program still running at the end is killed.

#include "core/installer.h"
#include "tests/support/windows/registry_sandbox.h"

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>
#include <windows.h>

namespace quorvel::test {

// HKEY_CURRENT_USER\Software\2015\MOHAA, value basepath, set for as long as
// the object lives to `folder` (UTF-8, as the program's text).
struct GameFolderSetting : ScopedRegistryValue {
    explicit GameFolderSetting(const std::string& folder)
        : ScopedRegistryValue(kGameRegistryKey, kGameRegistryValue, REG_SZ,
                              RegistryString(folder)) {}
};

// The screen's density for programs started while the object lives: the
// value that Windows and Wine read when a program starts.
struct DpiSetting : ScopedRegistryValue {
    explicit DpiSetting(int dpi)
        : ScopedRegistryValue("Control Panel\\Desktop", "LogPixels", REG_DWORD,
                              RegistryDword(static_cast<DWORD>(dpi))) {}
};

// A child window of a form as the player sees it: its kind (the window
// class, in lower case), the text of a button (empty for the others), its
// place in the form's client area and whether it shows.
struct Control {
    std::string kind;
    std::string text;
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;

    auto operator<=>(const Control&) const = default; // and ==
};
std::ostream& operator<<(std::ostream& out, const Control& control);

// The child `control` of `form`, as the player sees it.
Control ControlOf(HWND form, HWND control);
// The direct children of `form`, in a fixed order.
std::vector<Control> ControlsOf(HWND form);
// The size of the form's client area.
SIZE ClientSize(HWND form);
std::string TextOf(HWND window);
// The window class of `window`, in lower case.
std::string KindOf(HWND window);
// The control that has the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);
// The first shown child of `parent` of the window class `kind` (any letter
// case) whose text is `text`, or with any text when `text` is empty.
HWND ChildOf(HWND parent, const std::string& kind, const std::string& text = "");
// The texts of a list view's rows, in the system's code page, read from
// outside as a screen reader or another program reads them: LVM_GETITEMCOUNT,
// then LVM_GETITEMTEXT for each row into memory allocated in the list's own
// process. Throws when the list does not answer.
std::vector<std::string> ListRows(HWND list);
// The text of the label that names a control, as the system's accessibility
// finds it: the static text right before the control among its siblings.
// Empty when the control before it is no static text.
std::string LabelOf(HWND control);
// The name the system's accessibility gives a screen reader for a window,
// asked from another process as a screen reader asks: that of the window's
// client object (AccessibleObjectFromWindow, OBJID_CLIENT). Throws when the
// window has no accessible object.
std::string AccessibleNameOf(HWND window);
// Polls `ready` until it holds or `timeout` has passed; whether it held.
bool WaitUntil(const std::function<bool()>& ready,
               std::chrono::milliseconds timeout = std::chrono::seconds(20));

// What a session step does with the window it waited for.
inline constexpr const char* kCloseWindow = "(close)";             // WM_CLOSE, as the title bar's X
inline constexpr const char* kEscapeThenEnter = "(Escape, Enter)"; // keys to the focused control

// One window the program is expected to open, and what to do with it.
struct Step {
    std::string caption; // the window's caption, as it shows
    std::string action;  // a button's text, kCloseWindow or kEscapeThenEnter
    // Looks at the window first; runs in the test, so it may use gtest's checks.
    std::function<void(HWND)> look = {};
};

// What a session met on its way.
struct SessionLog {
    std::vector<std::string> unmet;    // what was waited for in vain: a window, its closing
    std::vector<std::string> focused;  // the focused control's text at each key step
    std::vector<std::string> messages; // the texts of the message boxes answered
    bool ended = false;                // the program ended in time after the last step
};

// One run of the program: starts `exe` in `folder` (its current folder),
// answers each step's window in turn, then waits for the program to end and
// kills it if it does not.
SessionLog RunSession(const std::string& exe, const std::string& folder,
                      const std::vector<Step>& steps,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20));

} // namespace quorvel::test
