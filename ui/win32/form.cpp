#include "ui/win32/form.h"

#include "ui/win32/control_ids.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/dpi.h"
#include "ui/win32/list_box_view.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/program_icon.h"
#include "ui/win32/wide_text.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::win32 {
namespace {

using forms::ControlKind;
using forms::ControlShape;

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

// Times New Roman, or where it is missing its stand-in.
const std::wstring& SerifFace() {
    static const std::wstring face = [] {
        const std::wstring wanted = Widen(forms::kSerifFace);
        const std::wstring standIn = Widen(forms::kSerifStandIn);
        return !HasFace(wanted.c_str()) && HasFace(standIn.c_str()) ? standIn : wanted;
    }();
    return face;
}

DWORD StyleOfKind(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        return WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    case ControlKind::Label:
        // Centred and wrapped at word boundaries; "&" is an ordinary letter.
        return WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX;
    case ControlKind::Text:
        return WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX;
    case ControlKind::List:
    case ControlKind::HiddenList:
        return ListBoxView::Style(kind == ControlKind::List);
    case ControlKind::EditField:
        return WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
    }
    return WS_CHILD;
}

const wchar_t* ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        return L"BUTTON";
    case ControlKind::Label:
    case ControlKind::Text:
        return L"STATIC";
    case ControlKind::List:
    case ControlKind::HiddenList:
        return ListBoxView::ClassName();
    case ControlKind::EditField:
        return L"EDIT";
    }
    return L"STATIC";
}

// The height of `text` in `font`, wrapped to `width`.
int TextHeightOf(HWND control, HFONT font, const std::wstring& text, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT box{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return box.bottom - box.top;
}

} // namespace

DWORD ControlStyle(const ControlShape& control) {
    if (control.kind == ControlKind::Button && control.role == forms::ButtonRole::Confirm) {
        return WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
    }
    return StyleOfKind(control.kind);
}

DWORD FrameStyle(forms::Frame frame) {
    switch (frame) {
    case forms::Frame::Fixed:
        // No sizing border and no maximize button.
        return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    case forms::Frame::Sizable:
        return WS_OVERLAPPEDWINDOW;
    case forms::Frame::Dialog:
        return DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    }
    return WS_OVERLAPPEDWINDOW;
}

void FontDeleter::operator()(HFONT font) const {
    DeleteObject(font);
}

UniqueFont MakeFont(const forms::FontShape& shape, int dpi) {
    LOGFONTW font{};
    if (!shape.face) {
        font = MessageFontForDpi(dpi);
    } else {
        font.lfHeight = FontHeightForDpi(shape.centiPoints, dpi);
        font.lfWeight = shape.weight;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfQuality = DEFAULT_QUALITY;
        wcsncpy(font.lfFaceName, SerifFace().c_str(), LF_FACESIZE - 1);
    }
    HFONT handle = CreateFontIndirectW(&font);
    if (!handle) {
        NoteWindowFailure(WithLastError("cannot create a font"));
    }
    return UniqueFont(handle);
}

void FormControls::Create(HWND form, const forms::FormShape& shape) {
    form_ = form;
    shape_ = &shape;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE));
    for (const ControlShape& control : shape.controls) {
        const bool list =
            control.kind == ControlKind::List || control.kind == ControlKind::HiddenList;
        const forms::Box& box = control.box;
        // Created in place at 96 dpi; Layout scales them.
        HWND window = CreateWindowExW(
            list ? WS_EX_CLIENTEDGE : 0, ClassOf(control.kind), Widen(control.text).c_str(),
            ControlStyle(control), box.left, box.top, box.width, box.height, form,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control.name))), instance,
            nullptr);
        if (!window) {
            NoteWindowFailure(
                WithLastError("cannot create the control " + std::string(control.name)));
        }
        controls_.push_back(window);
    }
    Layout(DpiOfWindow(form));
}

void FormControls::Layout(int dpi) {
    std::vector<UniqueFont> fonts;
    for (std::size_t i = 0; i < shape_->controls.size(); ++i) {
        const ControlShape& control = shape_->controls[i];
        const forms::Box& box = control.box;
        fonts.push_back(MakeFont(control.font, dpi));
        HWND window = controls_[i];
        SetWindowPos(window, nullptr, ScaleToDpi(box.left, dpi), ScaleToDpi(box.top, dpi),
                     ScaleToDpi(box.width, dpi), ScaleToDpi(box.height, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.back().get()), TRUE);
        if (control.kind == ControlKind::Label || control.kind == ControlKind::Text) {
            GrowLabel(i, dpi);
        }
    }
    // The controls use the new fonts now; the old ones can go.
    fonts_ = std::move(fonts);
    InvalidateRect(form_, nullptr, TRUE);
}

void FormControls::GrowLabel(std::size_t index, int dpi) {
    const ControlShape& control = shape_->controls[index];
    HWND window = controls_[index];
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));

    const int width = ScaleToDpi(control.box.width, dpi);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    const int needed = TextHeightOf(window, font, text, width);
    SetWindowPos(window, nullptr, 0, 0, width, forms::LabelHeight(*shape_, control, needed, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FormControls::Control(int id) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (ControlId(shape_->controls[i].name) == id) {
            return controls_[i];
        }
    }
    return nullptr;
}

const forms::ControlShape* FormControls::Button(int id) const {
    for (const ControlShape& control : shape_->controls) {
        if (control.kind == ControlKind::Button && ControlId(control.name) == id) {
            return &control;
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

HWND CreateFormDialog(const forms::FormShape& shape, DLGPROC procedure, void* object) {
    const std::vector<WORD> frame = FrameTemplate(shape);
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEW>(frame.data()),
                                             nullptr, procedure, reinterpret_cast<LPARAM>(object));
    // Wine hands back a window that went while it was made; Windows null.
    if (!dialog || !IsWindow(dialog)) {
        NoteWindowFailure(WithLastError("cannot create the window " + std::string(shape.name)));
        return nullptr;
    }
    MarkAsForm(dialog);
    // No default button: the dialog manager would make Command1 (IDOK) one,
    // shown as such whenever no other button has the focus.
    SendMessageW(dialog, DM_SETDEFID, kNoControl, 0);
    KeepDialogLayout(dialog);
    SetProgramIcon(dialog);
    SetClientSize(dialog, shape.clientWidth, shape.clientHeight);
    return dialog;
}

INT_PTR DialogResult(HWND dialog, LRESULT result) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

} // namespace quorvel::win32
