#include "tests/ui/win32/window_driver.h"

#include "core/installer.h"
#include "platform/ascii.h"
#include "platform/windows/file_paths.h"

#include <algorithm>
#include <commctrl.h>
#include <oleacc.h>
#include <stdexcept>
#include <thread>

namespace quorvel::test {
namespace {

// Polls `ready` until it gives something (a window, true) or `timeout` has
// passed, and returns its last answer.
template <typename Ready> auto WaitFor(const Ready& ready, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto found = ready();
        if (found || std::chrono::steady_clock::now() >= deadline) {
            return found;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), AsciiLower);
    return text;
}

// A shown top-level window of process `process` with caption `caption`.
HWND TopLevelWindow(DWORD process, const std::string& caption) {
    const std::wstring wide = windows_paths::WideText(caption);
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, nullptr, wide.c_str()))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

// `length` UTF-16 units of `text` in the system's code page.
std::string CodePageText(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// A key pressed and let go, as the keyboard posts it to the focused window.
void PostKey(HWND target, WORD key) {
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    const LPARAM down = static_cast<LPARAM>(1u | scan << 16);
    const LPARAM up = down | static_cast<LPARAM>(3u << 30);
    PostMessageA(target, WM_KEYDOWN, key, down);
    PostMessageA(target, WM_KEYUP, key, up);
}

} // namespace

std::string KindOf(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return Lower(std::string(name, static_cast<std::size_t>(std::max(length, 0))));
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

std::ostream& operator<<(std::ostream& out, const Control& control) {
    return out << control.kind << " \"" << control.text << "\" (" << control.left << ", "
               << control.top << ", " << control.width << ", " << control.height << ")"
               << (control.visible ? "" : " hidden");
}

Control ControlOf(HWND form, HWND control) {
    RECT box{};
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&box), 2);
    const std::string kind = KindOf(control);
    return {kind,
            kind == "button" ? TextOf(control) : "",
            box.left,
            box.top,
            box.right - box.left,
            box.bottom - box.top,
            IsWindowVisible(control) != FALSE};
}

std::vector<Control> ControlsOf(HWND form) {
    std::vector<Control> controls;
    for (const HWND child : ChildrenOf(form)) {
        controls.push_back(ControlOf(form, child));
    }
    std::sort(controls.begin(), controls.end());
    return controls;
}

SIZE ClientSize(HWND form) {
    RECT client{};
    GetClientRect(form, &client);
    return {client.right - client.left, client.bottom - client.top};
}

std::string TextOf(HWND window) {
    // WM_GETTEXT with a time limit: the window's thread may be busy or hung.
    // In UTF-16, given in UTF-8 as the program's own text.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return "(no answer)";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(std::min<std::size_t>(copied, length));
    return windows_paths::ProgramText(text);
}

HWND ChildOf(HWND parent, const std::string& kind, const std::string& text) {
    for (const HWND child : ChildrenOf(parent)) {
        if (KindOf(child) == Lower(kind) && IsWindowVisible(child) &&
            (text.empty() || TextOf(child) == text)) {
            return child;
        }
    }
    return nullptr;
}

std::vector<std::string> ListRows(HWND list) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) {
        throw std::runtime_error("the list does not answer LVM_GETITEMCOUNT");
    }
    DWORD process = 0;
    GetWindowThreadProcessId(list, &process);
    const HANDLE target =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (!target) {
        throw std::runtime_error("cannot open the list's process");
    }
    // An LVITEMW and its text buffer, in the list's process.
    constexpr std::size_t kTextSize = 8192;
    auto* remote = static_cast<char*>(VirtualAllocEx(target, nullptr,
                                                     sizeof(LVITEMW) + kTextSize * sizeof(wchar_t),
                                                     MEM_COMMIT, PAGE_READWRITE));
    std::vector<std::string> rows;
    for (std::size_t row = 0; remote && row < count; ++row) {
        LVITEMW item{};
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof item);
        item.cchTextMax = static_cast<int>(kTextSize);
        std::wstring text(kTextSize, L'\0');
        DWORD_PTR length = 0;
        if (!WriteProcessMemory(target, remote, &item, sizeof item, nullptr) ||
            !SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote),
                                 SMTO_ABORTIFHUNG, 5000, &length) ||
            !ReadProcessMemory(target, item.pszText, text.data(), text.size() * sizeof(wchar_t),
                               nullptr)) {
            rows.push_back("(row " + std::to_string(row) + " unread)");
            continue;
        }
        rows.push_back(CodePageText(
            text.data(), static_cast<int>(std::min<std::size_t>(length, kTextSize - 1))));
    }
    if (remote) {
        VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    }
    CloseHandle(target);
    if (!remote) {
        throw std::runtime_error("cannot allocate memory in the list's process");
    }
    return rows;
}

std::string LabelOf(HWND control) {
    const HWND before = GetWindow(control, GW_HWNDPREV);
    return before && KindOf(before) == "static" ? TextOf(before) : "";
}

std::string AccessibleNameOf(HWND window) {
    // COM for this thread, once; the objects come from the window's process.
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    if (FAILED(com) ||
        FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        !object) {
        throw std::runtime_error("the window has no accessible object");
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT named = object->get_accName(self, &name);
    object->Release();
    const std::string text =
        CodePageText(name, SUCCEEDED(named) && name ? static_cast<int>(SysStringLen(name)) : 0);
    SysFreeString(name);
    return text;
}

bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout) {
    return WaitFor(ready, timeout);
}

SessionLog RunSession(const std::string& exe, const std::string& folder,
                      const std::vector<Step>& steps, std::chrono::milliseconds timeout) {
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        throw std::runtime_error("cannot start " + exe + ": error " +
                                 std::to_string(GetLastError()));
    }
    CloseHandle(process.hThread);

    SessionLog log;
    for (const Step& step : steps) {
        const HWND window =
            WaitFor([&] { return TopLevelWindow(process.dwProcessId, step.caption); }, timeout);
        if (!window) {
            log.unmet.push_back(step.caption);
            break;
        }
        if (step.look) {
            step.look(window);
        }
        if (step.caption == kApplicationTitle) {
            std::string text;
            for (const HWND child : ChildrenOf(window)) {
                if (KindOf(child) == "static") {
                    text += TextOf(child);
                }
            }
            log.messages.push_back(text);
        }
        if (step.action == kCloseWindow) {
            PostMessageA(window, WM_CLOSE, 0, 0);
        } else if (step.action == kEscapeThenEnter) {
            // The window is shown before its focus is set; wait for the focus.
            const HWND focus = WaitFor([&] { return FocusOf(window); }, timeout);
            log.focused.push_back(focus ? TextOf(focus) : "(no focus)");
            PostKey(focus ? focus : window, VK_ESCAPE);
            PostKey(focus ? focus : window, VK_RETURN);
        } else if (const HWND button = ChildOf(window, "Button", step.action)) {
            // Posted, not sent: the click may open a modal window, and a sent
            // message would wait for it to close.
            PostMessageA(button, BM_CLICK, 0, 0);
        } else {
            log.unmet.push_back(step.caption + ": button " + step.action);
            break;
        }
        // A dialog or message box goes away; the next step begins once it has.
        if (step.caption != kMainWindowCaption &&
            !WaitFor([&] { return IsWindow(window) ? nullptr : window; }, timeout)) {
            log.unmet.push_back(step.caption + ": closing after " + step.action);
            break;
        }
    }

    const auto wait = static_cast<DWORD>(log.unmet.empty() ? timeout.count() : 0);
    log.ended = WaitForSingleObject(process.hProcess, wait) == WAIT_OBJECT_0;
    if (!log.ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout.count()));
    }
    CloseHandle(process.hProcess);
    return log;
}

} // namespace quorvel::test
