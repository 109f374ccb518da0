#include "ui/win32/main_window.h"

#include "core/identity.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/wide_text.h"

#include <exception>
#include <stdexcept>

namespace quorvel::win32 {

MainWindow::MainWindow(Installer& installer) : installer_(installer) {
    if (!RegisterFormClass(kMainWindowClass, &MainWindow::Procedure)) {
        return;
    }
    const forms::FormShape& shape = forms::MainForm();
    window_ =
        CreateWindowExW(0, kMainWindowClass, Widen(shape.caption).c_str(), FrameStyle(shape.frame),
                        CW_USEDEFAULT, CW_USEDEFAULT, shape.clientWidth, shape.clientHeight,
                        nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_) {
        NoteWindowFailure(WithLastError("cannot create the main window"));
        return;
    }
    MarkAsForm(window_);
    SetClientSize(window_, shape.clientWidth, shape.clientHeight);
    controls_.Create(window_, shape);
    currentView_.Attach(controls_.Control(kList1));
    installView_.Attach(controls_.Control(kList2));
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
    if (!window_) {
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
    SetWindowTextW(window_, Widen(caption).c_str());
}

void MainWindow::SetLabel1Caption(const std::string& caption) {
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

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = ObjectOf<MainWindow>(window, message, lParam);
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCCREATE) {
        self->window_ = window;
    }
    return Guarded(0, [&] { return self->Handle(message, wParam, lParam); });
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

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && Press(LOWORD(wParam))) {
            return 0;
        }
        break;
    case WM_NOTIFY: {
        // The lists ask for the text of their rows.
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (const auto answer = currentView_.Notify(header)) {
            return *answer;
        }
        if (const auto answer = installView_.Notify(header)) {
            return *answer;
        }
        break;
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
        return 0;
    case WM_DPICHANGED: {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetClientSize(window_, forms::MainForm().clientWidth, forms::MainForm().clientHeight);
        controls_.Layout(HIWORD(wParam));
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(exitCode_);
        return 0;
    case WM_NCDESTROY:
        window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace quorvel::win32
