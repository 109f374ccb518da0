#include "ui/win32/main_window.h"

#include "core/identity.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/wide_text.h"

#include <commctrl.h>
#include <exception>
#include <stdexcept>

namespace quorvel::win32 {

MainWindow::MainWindow(Installer& installer) : installer_(installer) {}

bool MainWindow::Make() {
    if (made_) {
        return window_ != nullptr;
    }
    made_ = true;
    // The list view's class; the prompt, which comes first, needs none of it.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    const forms::FormShape& shape = forms::MainForm();
    if (!CreateFormDialog(shape, &MainWindow::Procedure, this)) {
        return false;
    }
    controls_.Create(window_, shape);
    currentView_.Attach(controls_.Control(kList1));
    installView_.Attach(controls_.Control(kList2));
    return true;
}

MainWindow::~MainWindow() {
    currentView_.Attach(nullptr);
    installView_.Attach(nullptr);
    if (window_) {
        // Not through the procedure any more: the object is going.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void MainWindow::Load() {
    installer_.RunStartup(*this);
}

void MainWindow::Show(int showCommand) {
    if (!Make()) {
        return;
    }
    if (!shown_) {
        shown_ = true;
        CentreOnWorkArea(window_);
    }
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(focus_ ? focus_ : controls_.Control(kCommand1));
}

int MainWindow::Run() {
    const std::optional<int> code = RunMessagesUntil([] { return false; });
    RethrowKeptFailure();
    return code.value_or(exitCode_);
}

void MainWindow::SetCaption(const std::string& caption) {
    Make();
    SetWindowTextW(window_, Widen(caption).c_str());
}

void MainWindow::SetLabel1Caption(const std::string& caption) {
    Make();
    SetWindowTextW(controls_.Control(kLabel1), Widen(caption).c_str());
}

void MainWindow::Close() {
    if (window_) {
        DestroyWindow(window_);
    }
}

void MainWindow::Install() {
    try {
        installer_.RunInstallation(*this);
        // The dialogs and the message box had no owner: take the activation
        // back from them, and with it the focus for the keyboard.
        if (window_) {
            SetForegroundWindow(window_);
        }
    } catch (const std::exception& error) {
        // Nothing the installation can meet in ordinary use ends up here; if
        // something does, say so and stop rather than carry on half done.
        MessageBoxW(nullptr,
                    Widen(std::string("The installation stopped: ") + error.what()).c_str(),
                    Widen(kApplicationTitle).c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
        exitCode_ = 1;
        Close();
    }
}

INT_PTR CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = DialogObjectOf<MainWindow>(window, message, lParam);
    if (!self) {
        return FALSE;
    }
    if (message == WM_INITDIALOG) {
        self->window_ = window;
    }
    return static_cast<INT_PTR>(
        Guarded(FALSE, [&] { return self->Handle(message, wParam, lParam); }));
}

bool MainWindow::Press(int id) {
    const forms::ControlShape* button = controls_.Button(id);
    if (button && button->role == forms::ButtonRole::Install) {
        Install();
        return true;
    }
    if (button && button->role == forms::ButtonRole::Exit) {
        Close();
        return true;
    }
    return false;
}

INT_PTR MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
    case WM_COMMAND:
        // The dialog's own Enter and Escape never come (see message_loop.h).
        return HIWORD(wParam) == BN_CLICKED && Press(LOWORD(wParam));
    case WM_NOTIFY: {
        // The lists ask for the text of their rows.
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (const auto answer = currentView_.Notify(header)) {
            return DialogResult(window, *answer);
        }
        if (const auto answer = installView_.Notify(header)) {
            return DialogResult(window, *answer);
        }
        return FALSE;
    }
    case WM_ACTIVATE:
        // Give the focus back to the control that had it, as a dialog does.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window_, focus)) {
                focus_ = focus;
            }
        } else if (!HIWORD(wParam)) {
            SetFocus(focus_ ? focus_ : controls_.Control(kCommand1));
        }
        return DialogResult(window, 0);
    case WM_DPICHANGED: {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetClientSize(window_, forms::MainForm().clientWidth, forms::MainForm().clientHeight);
        controls_.Layout(HIWORD(wParam));
        return DialogResult(window, 0);
    }
    case WM_CLOSE:
        // The title bar's close button, or Alt+F4: the window goes, as the
        // Exit button makes it go.
        Close();
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(exitCode_);
        return FALSE;
    case WM_NCDESTROY:
        window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace quorvel::win32
