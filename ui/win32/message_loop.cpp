#include "ui/win32/message_loop.h"

#include <stdexcept>
#include <utility>

namespace quorvel::win32 {
namespace {

constexpr const wchar_t* kFormProperty = L"quorvel.form";

std::exception_ptr& KeptFailure() {
    static std::exception_ptr failure;
    return failure;
}

std::optional<std::string>& NotedFailure() {
    static std::optional<std::string> failure;
    return failure;
}

bool IsPushButton(HWND window) {
    wchar_t name[16] = {};
    if (!window || !GetClassNameW(window, name, 16) || lstrcmpiW(name, L"Button") != 0) {
        return false;
    }
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Handles a message meant for a form's keyboard; true when it was.
bool HandleFormKeys(MSG& message) {
    if (!message.hwnd) {
        return false;
    }
    HWND form = GetAncestor(message.hwnd, GA_ROOT);
    if (!form || !GetPropW(form, kFormProperty)) {
        return false;
    }
    if (message.message == WM_KEYDOWN &&
        (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
        if (message.wParam == VK_RETURN) {
            HWND focus = GetFocus();
            if (IsPushButton(focus) && GetAncestor(focus, GA_ROOT) == form) {
                SendMessageW(focus, BM_CLICK, 0, 0);
            }
        }
        return true;
    }
    if (message.message == WM_CHAR && (message.wParam == L'\r' || message.wParam == 0x1B)) {
        return true;
    }
    return IsDialogMessageW(form, &message) != FALSE;
}

} // namespace

void MarkAsForm(HWND form) {
    SetPropW(form, kFormProperty, reinterpret_cast<HANDLE>(1));
}

std::optional<int> RunMessagesUntil(const std::function<bool()>& finished) {
    while (!finished() && !HasKeptFailure() && !HasWindowFailure()) {
        MSG message{};
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            NoteWindowFailure(WithLastError("the message loop failed"));
            break;
        }
        if (got == 0) {
            const int code = static_cast<int>(message.wParam);
            PostQuitMessage(code);
            return code;
        }
        if (!HandleFormKeys(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return std::nullopt;
}

void NoteWindowFailure(std::string what) {
    if (!NotedFailure()) {
        NotedFailure() = std::move(what);
    }
}

bool HasWindowFailure() {
    return NotedFailure().has_value();
}

std::optional<std::string> TakeWindowFailure() {
    return std::exchange(NotedFailure(), std::nullopt);
}

std::string WithLastError(const std::string& what) {
    return what + " (error " + std::to_string(GetLastError()) + ")";
}

void KeepFailure(std::exception_ptr failure) {
    // The first failure is the one to report; what follows from it is not.
    if (!KeptFailure()) {
        KeptFailure() = std::move(failure);
    }
}

bool HasKeptFailure() {
    return static_cast<bool>(KeptFailure());
}

void RethrowKeptFailure() {
    if (std::exception_ptr failure = std::exchange(KeptFailure(), nullptr)) {
        std::rethrow_exception(failure);
    }
}

} // namespace quorvel::win32
