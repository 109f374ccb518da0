#include "ui/win32/win32_window_system.h"

#include "ui/win32/control_ids.h"
#include "ui/win32/detail_dialog.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/program_icon.h"
#include "ui/win32/wide_text.h"

#include <stdexcept>
#include <utility>
#include <vector>
#include <windows.h>

namespace quorvel::win32 {
namespace {

struct PromptRequest {
    std::wstring text;
    std::wstring title;
    std::wstring defaultAnswer;
    std::wstring answer;
    std::function<void()> whileShown = {};
    bool shown = false;
};

// The timer that runs what is done once the prompt shows: its first tick
// comes once the prompt is on the screen and the thread has no other message
// to handle.
constexpr UINT_PTR kShownTimer = 1;

// Handles what the prompt does once shown; true when `message` was that. The
// icon comes then too: under Wine, giving a window its icons converts them for
// the X server each time, which the prompt need not wait for.
bool HandleShown(HWND dialog, UINT message, WPARAM wParam, PromptRequest& request) {
    if (message == WM_SHOWWINDOW && wParam && !request.shown) {
        request.shown = true;
        SetTimer(dialog, kShownTimer, USER_TIMER_MINIMUM, nullptr);
        return true;
    }
    if (message == WM_TIMER && wParam == kShownTimer) {
        KillTimer(dialog, kShownTimer);
        SetProgramIcon(dialog);
        if (const auto work = std::exchange(request.whileShown, nullptr)) {
            work();
        }
        return true;
    }
    return false;
}

INT_PTR HandlePrompt(HWND dialog, UINT message, WPARAM wParam, PromptRequest& request) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowTextW(dialog, request.title.c_str());
        SetDlgItemTextW(dialog, kPromptText, request.text.c_str());
        SetDlgItemTextW(dialog, kPromptEdit, request.defaultAnswer.c_str());
        HWND edit = GetDlgItem(dialog, kPromptEdit);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SetForegroundWindow(dialog);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            HWND edit = GetDlgItem(dialog, kPromptEdit);
            const int length = GetWindowTextLengthW(edit);
            std::wstring answer(static_cast<std::size_t>(length) + 1, L'\0');
            answer.resize(
                static_cast<std::size_t>(GetWindowTextW(edit, answer.data(), length + 1)));
            request.answer = std::move(answer);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            // Cancel, Escape and the close button.
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK PromptProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    auto* request = reinterpret_cast<PromptRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!request) {
        return FALSE;
    }
    return static_cast<INT_PTR>(Guarded(FALSE, [&] {
        if (HandleShown(dialog, message, wParam, *request)) {
            return static_cast<LRESULT>(message == WM_TIMER);
        }
        return static_cast<LRESULT>(HandlePrompt(dialog, message, wParam, *request));
    }));
}

} // namespace

std::string Win32WindowSystem::Prompt(const std::string& text, const std::string& title,
                                      const std::string& defaultAnswer) {
    PromptRequest request{Widen(text), Widen(title), Widen(defaultAnswer), {}};
    request.whileShown = std::exchange(whilePromptShows_, nullptr);
    const std::vector<WORD> dialog = DialogTemplate(forms::PromptForm());
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), nullptr,
        &PromptProcedure, reinterpret_cast<LPARAM>(&request));
    RethrowKeptFailure();
    if (result == -1 || result == 0) {
        NoteWindowFailure(WithLastError("cannot show the prompt \"" + title + "\""));
        return {};
    }
    return result == IDOK ? Narrow(request.answer) : std::string();
}

void Win32WindowSystem::ShowMessage(const std::string& text, const std::string& title,
                                    MessageIcon icon) {
    // Task-modal without an owner: every window of the program is disabled
    // until OK is pressed.
    const UINT type = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND |
                      (icon == MessageIcon::Warning ? MB_ICONWARNING : 0u);
    if (MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(), type) == 0) {
        NoteWindowFailure(WithLastError("cannot show the message \"" + text + "\""));
    }
}

DetailDialogResult Win32WindowSystem::ShowDetailDialog(DetailDialogKind kind) {
    return RunDetailDialog(kind);
}

} // namespace quorvel::win32
