#include "ui/win32/detail_dialog.h"

#include "core/detail_choices.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/form.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/wide_text.h"

#include <array>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::win32 {
namespace {

// An ordinary top-level window with a sizable frame and the usual buttons.
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

constexpr FontShape kLabelFont = SerifFont(1200, FW_BOLD);
constexpr FontShape kButtonFont = SerifFont(975, FW_NORMAL);

struct DialogShape {
    const char* caption;
    int clientWidth;
    int clientHeight;
    std::span<const ControlShape> controls; // in tab order
};

const std::array<ControlShape, 5> kTextureControls{{
    {kLabel1, ControlKind::Label,
     "Please Select the current TEXTURE DETAIL setting that you are running. If you change the "
     "setting at a later date, you will need to ReRun the QuorvelConfig Setup",
     40, 8, 377, 65, kLabelFont},
    {kCommand1, ControlKind::Button, "High", 16, 88, 81, 25, kButtonFont},
    {kCommand2, ControlKind::Button, "Medium", 112, 88, 81, 25, kButtonFont},
    {kCommand3, ControlKind::Button, "Low", 208, 88, 81, 25, kButtonFont},
    {kCommand4, ControlKind::Button, "Need to go Check", 304, 88, 129, 25, kButtonFont},
}};

// The lower row reads Med, Lowest, Low from left to right, but Tab takes it
// as Med, Low, Lowest.
const std::array<ControlShape, 8> kModelControls{{
    {kCommand1, ControlKind::Button, "Highest", 8, 80, 81, 25, kButtonFont},
    {kLabel1, ControlKind::Label,
     "Please Select the current MODEL DETAIL setting that you are running. If you change the "
     "setting at a later date, you will need to ReRun the QuorvelConfig Setup",
     0, 0, 449, 65, kLabelFont},
    {kCommand2, ControlKind::Button, "Higher", 112, 80, 81, 25, kButtonFont},
    {kCommand3, ControlKind::Button, "High", 216, 80, 81, 25, kButtonFont},
    {kCommand4, ControlKind::Button, "Med", 8, 120, 81, 25, kButtonFont},
    {kCommand5, ControlKind::Button, "Low", 216, 120, 81, 25, kButtonFont},
    {kCommand6, ControlKind::Button, "Lowest", 112, 120, 81, 25, kButtonFont},
    {kCommand7, ControlKind::Button, "Need to go Check", 320, 96, 121, 25, kButtonFont},
}};

const DialogShape& ShapeOf(DetailDialogKind kind) {
    static const DialogShape texture{"Texture Detail", 448, 133, kTextureControls};
    static const DialogShape model{"Model Detail", 463, 157, kModelControls};
    return kind == DetailDialogKind::Texture ? texture : model;
}

class DetailDialog {
public:
    explicit DetailDialog(DetailDialogKind kind) : shape_(ShapeOf(kind)) {
        for (const ControlShape& control : shape_.controls) {
            if (control.kind == ControlKind::Button && control.text != kNeedToGoCheck &&
                !FindDetailAnswer(kind, control.text)) {
                throw std::logic_error(std::string("detail dialog button without an answer: ") +
                                       control.text);
            }
        }
    }
    DetailDialog(const DetailDialog&) = delete;
    DetailDialog& operator=(const DetailDialog&) = delete;
    ~DetailDialog() {
        if (window_) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
    }

    void Create() {
        RegisterFormClass(kDetailDialogClass, &DetailDialog::Procedure);
        window_ =
            CreateWindowExW(0, kDetailDialogClass, Widen(shape_.caption).c_str(), kStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, shape_.clientWidth, shape_.clientHeight,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
        if (!window_) {
            throw std::runtime_error("cannot create the " + std::string(shape_.caption) +
                                     " dialog (error " + std::to_string(GetLastError()) + ")");
        }
        MarkAsForm(window_);
        SetClientSize(window_, shape_.clientWidth, shape_.clientHeight);
        controls_.Create(window_, shape_.controls, true);
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
        for (const ControlShape& control : shape_.controls) {
            if (control.kind == ControlKind::Button) {
                return controls_.Control(control.id);
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

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        DetailDialog* self = ObjectOf<DetailDialog>(window, message, lParam);
        if (!self) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        if (message == WM_NCCREATE) {
            self->window_ = window;
        }
        return Guarded(0, [&] { return self->Handle(window, message, wParam, lParam); });
    }

    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                for (const ControlShape& control : shape_.controls) {
                    if (control.kind == ControlKind::Button && control.id == LOWORD(wParam)) {
                        if (control.text == kNeedToGoCheck) {
                            End(DialogOutcome::NeedToCheck, {});
                        } else {
                            End(DialogOutcome::Answered, control.text);
                        }
                        return 0;
                    }
                }
            }
            break;
        case WM_CLOSE:
            // The title-bar close button: no answer. The dialog is destroyed
            // once its modal showing has ended.
            End(DialogOutcome::ClosedWithoutAnswer, {});
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window, focus)) {
                    focus_ = focus;
                }
            } else if (!HIWORD(wParam)) {
                SetFocus(focus_ ? focus_ : FirstButton());
            }
            return 0;
        case WM_DPICHANGED: {
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested.left, suggested.top,
                         suggested.right - suggested.left, suggested.bottom - suggested.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            controls_.Layout(HIWORD(wParam));
            return 0;
        }
        case WM_NCDESTROY:
            window_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    const DialogShape& shape_;
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
    return dialog.Ended() ? dialog.Result() : DetailDialogResult{};
}

} // namespace quorvel::win32
