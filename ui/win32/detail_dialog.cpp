#include "ui/win32/detail_dialog.h"

#include "ui/win32/control_ids.h"
#include "ui/win32/form.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/wide_text.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::win32 {
namespace {

class DetailDialog {
public:
    explicit DetailDialog(DetailDialogKind kind) : shape_(forms::DetailForm(kind)) {}
    DetailDialog(const DetailDialog&) = delete;
    DetailDialog& operator=(const DetailDialog&) = delete;
    ~DetailDialog() {
        if (window_) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
    }

    void Create() {
        window_ = CreateFormDialog(shape_, &DetailDialog::Procedure, this);
        if (!window_) {
            return;
        }
        controls_.Create(window_, shape_);
        // The question first among the children, as a dialog has its text
        // before its buttons: a screen reader reads it when the window opens.
        // It takes no focus, so the buttons keep their tab order.
        SetWindowPos(controls_.Control(kLabel1), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        CentreOnWorkArea(window_);
    }

    void Show() {
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
        SetForegroundWindow(window_);
        SetFocus(FirstButton());
    }

    bool Ended() const { return ended_; }
    const DetailDialogResult& Result() const { return result_; }

private:
    HWND FirstButton() const {
        for (const forms::ControlShape& control : shape_.controls) {
            if (control.kind == forms::ControlKind::Button) {
                return controls_.Control(ControlId(control.name));
            }
        }
        return nullptr;
    }

    void End(DialogOutcome outcome, std::string answer) {
        if (!ended_) {
            ended_ = true;
            result_ = {outcome, std::move(answer)};
        }
    }

    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        DetailDialog* self = DialogObjectOf<DetailDialog>(window, message, lParam);
        if (!self) {
            return FALSE;
        }
        return static_cast<INT_PTR>(
            Guarded(FALSE, [&] { return self->Handle(window, message, wParam, lParam); }));
    }

    // TRUE for a message handled here, FALSE for the dialog's own handling.
    INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            // The controls come afterwards; the focus is set when shown.
            return FALSE;
        case WM_COMMAND:
            // A button pressed. The dialog's own Enter and Escape (IDOK and
            // IDCANCEL, the IDs of Command1 and Command2) never come: the
            // message loop keeps those keys from it.
            if (HIWORD(wParam) == BN_CLICKED) {
                return Press(LOWORD(wParam)) ? TRUE : FALSE;
            }
            return FALSE;
        case WM_CLOSE:
            // The title-bar close button: no answer. The dialog is destroyed
            // once its modal showing has ended.
            End(DialogOutcome::ClosedWithoutAnswer, {});
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window, focus)) {
                    focus_ = focus;
                }
            } else if (!HIWORD(wParam)) {
                SetFocus(focus_ ? focus_ : FirstButton());
            }
            return DialogResult(window, 0);
        case WM_DPICHANGED: {
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested.left, suggested.top,
                         suggested.right - suggested.left, suggested.bottom - suggested.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            controls_.Layout(HIWORD(wParam));
            return DialogResult(window, 0);
        }
        case WM_NCDESTROY:
            window_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return FALSE;
        default:
            return FALSE;
        }
    }

    // Ends the dialog as the button of that ID says; false for any other ID.
    bool Press(int id) {
        const forms::ControlShape* button = controls_.Button(id);
        if (button && button->role == forms::ButtonRole::NeedToCheck) {
            End(DialogOutcome::NeedToCheck, {});
            return true;
        }
        if (button && button->role == forms::ButtonRole::Answer) {
            End(DialogOutcome::Answered, button->text);
            return true;
        }
        return false;
    }

    const forms::FormShape& shape_;
    FormControls controls_;
    HWND window_ = nullptr;
    HWND focus_ = nullptr;
    bool ended_ = false;
    DetailDialogResult result_;
};

// Disables every enabled, visible top-level window of the program while a
// modal dialog runs, and enables them again afterwards.
class ProgramWindowsDisabled {
public:
    ProgramWindowsDisabled() : active_(GetActiveWindow()) {
        EnumWindows(&ProgramWindowsDisabled::Disable, reinterpret_cast<LPARAM>(this));
    }
    ~ProgramWindowsDisabled() {
        for (HWND window : disabled_) {
            if (IsWindow(window)) {
                EnableWindow(window, TRUE);
            }
        }
        if (active_ && IsWindow(active_)) {
            SetActiveWindow(active_);
        }
    }
    ProgramWindowsDisabled(const ProgramWindowsDisabled&) = delete;
    ProgramWindowsDisabled& operator=(const ProgramWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            reinterpret_cast<ProgramWindowsDisabled*>(self)->disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND active_;
    std::vector<HWND> disabled_;
};

} // namespace

DetailDialogResult RunDetailDialog(DetailDialogKind kind) {
    DetailDialog dialog(kind);
    {
        ProgramWindowsDisabled disabled;
        dialog.Create();
        dialog.Show();
        RunMessagesUntil([&] { return dialog.Ended(); });
        // The other windows are enabled again before the dialog goes, so that
        // the window system gives the activation back to one of them.
    }
    RethrowKeptFailure();
    if (HasWindowFailure()) {
        // Asked nothing: install nothing, as "Need to go Check" does.
        return {DialogOutcome::NeedToCheck, {}};
    }
    return dialog.Ended() ? dialog.Result() : DetailDialogResult{};
}

} // namespace quorvel::win32
