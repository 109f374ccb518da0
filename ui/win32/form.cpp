#include "ui/win32/form.h"

#include "ui/win32/dpi.h"
#include "ui/win32/list_box_view.h"
#include "ui/win32/program_icon.h"
#include "ui/win32/wide_text.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>
#include <string>

namespace quorvel::win32 {
namespace {

// The gap kept between a grown label and the controls below it.
constexpr int kLabelGap = 4;

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFace(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// Times New Roman, or where it is missing (as under Wine without the
// Microsoft fonts) Liberation Serif, which has its metrics.
const wchar_t* SerifFace() {
    static const wchar_t* const face = [] {
        if (!HasFace(L"Times New Roman") && HasFace(L"Liberation Serif")) {
            return L"Liberation Serif";
        }
        return L"Times New Roman";
    }();
    return face;
}

DWORD StyleOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        return WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    case ControlKind::Label:
        // Centred and wrapped at word boundaries; "&" is an ordinary letter.
        return WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX;
    case ControlKind::List:
    case ControlKind::HiddenList:
        return ListBoxView::Style(kind == ControlKind::List);
    }
    return WS_CHILD;
}

const wchar_t* ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        return L"BUTTON";
    case ControlKind::Label:
        return L"STATIC";
    case ControlKind::List:
    case ControlKind::HiddenList:
        return ListBoxView::ClassName();
    }
    return L"STATIC";
}

// The height of a row of text in `font`, or of `text` wrapped to `width`.
int TextHeightOf(HWND control, HFONT font, const std::wstring* text, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, font);
    int height = 0;
    if (text) {
        RECT box{0, 0, width, 0};
        DrawTextW(dc, text->c_str(), static_cast<int>(text->size()), &box,
                  DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        height = box.bottom - box.top;
    } else {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        height = metrics.tmHeight;
    }
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return height;
}

} // namespace

void FontDeleter::operator()(HFONT font) const {
    DeleteObject(font);
}

UniqueFont MakeFont(FontShape shape, int dpi) {
    LOGFONTW font{};
    if (shape.centiPoints == 0) {
        font = MessageFontForDpi(dpi);
    } else {
        font.lfHeight = FontHeightForDpi(shape.centiPoints, dpi);
        font.lfWeight = shape.weight;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfQuality = DEFAULT_QUALITY;
        wcsncpy(font.lfFaceName, SerifFace(), LF_FACESIZE - 1);
    }
    HFONT handle = CreateFontIndirectW(&font);
    if (!handle) {
        throw std::runtime_error("cannot create a font");
    }
    return UniqueFont(handle);
}

void FormControls::Create(HWND form, std::span<const ControlShape> shapes, bool growLabels) {
    form_ = form;
    growLabels_ = growLabels;
    shapes_.assign(shapes.begin(), shapes.end());
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE));
    for (const ControlShape& shape : shapes_) {
        const bool list = shape.kind == ControlKind::List || shape.kind == ControlKind::HiddenList;
        // Created in place at 96 dpi; Layout scales them.
        HWND control = CreateWindowExW(
            list ? WS_EX_CLIENTEDGE : 0, ClassOf(shape.kind),
            Widen(shape.text ? shape.text : "").c_str(), StyleOf(shape.kind), shape.left, shape.top,
            shape.width, shape.height, form,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(shape.id)), instance, nullptr);
        if (!control) {
            throw std::runtime_error("cannot create a control (error " +
                                     std::to_string(GetLastError()) + ")");
        }
        controls_.push_back(control);
    }
    Layout(DpiOfWindow(form));
}

void FormControls::Layout(int dpi) {
    std::vector<UniqueFont> fonts;
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        const ControlShape& shape = shapes_[i];
        fonts.push_back(MakeFont(shape.font, dpi));
        HWND control = controls_[i];
        SetWindowPos(control, nullptr, ScaleToDpi(shape.left, dpi), ScaleToDpi(shape.top, dpi),
                     ScaleToDpi(shape.width, dpi), ScaleToDpi(shape.height, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.back().get()), TRUE);
        if (shape.kind == ControlKind::Label && growLabels_) {
            GrowLabel(i, dpi);
        }
    }
    // The controls use the new fonts now; the old ones can go.
    fonts_ = std::move(fonts);
    InvalidateRect(form_, nullptr, TRUE);
}

void FormControls::GrowLabel(std::size_t index, int dpi) {
    const ControlShape& shape = shapes_[index];
    const int length = GetWindowTextLengthW(controls_[index]);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(controls_[index], text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));

    const int width = ScaleToDpi(shape.width, dpi);
    const int height = ScaleToDpi(shape.height, dpi);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(controls_[index], WM_GETFONT, 0, 0));
    const int textHeight = TextHeightOf(controls_[index], font, &text, width);
    if (textHeight <= height) {
        return;
    }
    int room = textHeight;
    for (const ControlShape& other : shapes_) {
        if (other.kind != ControlKind::Label && other.top > shape.top) {
            room = std::min(room, ScaleToDpi(other.top - shape.top - kLabelGap, dpi));
        }
    }
    SetWindowPos(controls_[index], nullptr, 0, 0, width, std::max(height, room),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FormControls::Control(int id) const {
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        if (shapes_[i].id == id) {
            return controls_[i];
        }
    }
    return nullptr;
}

} // namespace quorvel::win32

namespace quorvel::win32 {

void SetClientSize(HWND window, int width, int height) {
    const int dpi = DpiOfWindow(window);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const SIZE size =
        WindowSizeForClient(ScaleToDpi(width, dpi), ScaleToDpi(height, dpi), style, exStyle, dpi);
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnWorkArea(HWND window) {
    POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return;
    }
    RECT frame{};
    GetWindowRect(window, &frame);
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RegisterFormClass(const wchar_t* name, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, name, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    SetProgramIcon(windowClass);
    if (!RegisterClassExW(&windowClass)) {
        throw std::runtime_error("cannot register a window class (error " +
                                 std::to_string(GetLastError()) + ")");
    }
}

} // namespace quorvel::win32
