#pragma once

#include "core/installer.h"
#include "platform/line_list.h"
#include "platform/window_system.h"
#include "ui/win32/form.h"
#include "ui/win32/list_box_view.h"

#include <windows.h>

namespace quorvel::win32 {

// The main window, Form1: the current custom.cfg lines, the hidden list of
// lines to install, and the install and exit buttons. A fixed frame with a
// minimize button, of the system's dialog class, so that a screen reader
// reads Label2's description of the program when it opens; its controls and
// their IDs are in control_ids.h.
class MainWindow : public MainWindowPort {
public:
    // The window is made, hidden, under its creation caption by Make, or
    // when first needed: when start-up sets its caption, or when it is
    // shown. WinMain has it made while the prompt shows, which thus comes up
    // without waiting for it.
    explicit MainWindow(Installer& installer);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Makes the window, hidden, if it is not yet made. False when there is
    // no window.
    bool Make();
    // The load step: runs start-up while the window is still hidden, so
    // that the caption it sets is the first one the player sees.
    void Load();
    // Shows the window, centred the first time, with the focus on Command1.
    void Show(int showCommand);
    // Runs the program's messages until the window has closed; returns the
    // program's exit code. A failure kept by a window procedure is rethrown.
    int Run();

    LineList& CurrentList() override { return currentList_; }
    LineList& InstallList() override { return installList_; }
    void SetCaption(const std::string& caption) override;
    void SetLabel1Caption(const std::string& caption) override;
    void Close() override;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Does what the button of that ID does; false for any other ID.
    bool Press(int id);
    void Install();

    Installer& installer_;
    LineList currentList_;
    LineList installList_;
    ListBoxView currentView_{currentList_};
    ListBoxView installView_{installList_};
    FormControls controls_;
    HWND window_ = nullptr;
    // The control that had the focus when the window was last deactivated.
    HWND focus_ = nullptr;
    bool made_ = false;
    bool shown_ = false;
    int exitCode_ = 0;
};

} // namespace quorvel::win32
