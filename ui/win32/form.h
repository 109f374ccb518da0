#pragma once

// The controls of a form, made from its description (ui/forms/form_shapes.h)
// at 96 dots per inch, and placed again whenever the form's density changes.

#include "ui/forms/form_shapes.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>
#include <windows.h>

namespace quorvel::win32 {

// The window style of a control of the description, and of a form's frame.
DWORD ControlStyle(const forms::ControlShape& control);
DWORD FrameStyle(forms::Frame frame);

// A font handle that deletes itself.
struct FontDeleter {
    void operator()(HFONT font) const;
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// A font of the shape at `dpi`: Times New Roman, or the window system's
// message font.
UniqueFont MakeFont(const forms::FontShape& shape, int dpi);

class FormControls {
public:
    // Makes the controls of `shape` as children of `form`, in the order
    // given, which is their tab order, and places them for the form's
    // density. A label whose text needs more lines than its box holds grows
    // as forms::LabelHeight decides.
    void Create(HWND form, const forms::FormShape& shape);

    // Places the controls and gives them their fonts for `dpi`.
    void Layout(int dpi);

    HWND Control(int id) const;

    // The button of that ID as the description gives it, or null.
    const forms::ControlShape* Button(int id) const;

private:
    void GrowLabel(std::size_t index, int dpi);

    HWND form_ = nullptr;
    const forms::FormShape* shape_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<UniqueFont> fonts_;
};

} // namespace quorvel::win32

namespace quorvel::win32 {

// Gives a window a client area of `width` x `height` layout pixels at its
// density, keeping its place.
void SetClientSize(HWND window, int width, int height);

// Centres the whole window, frame included, on the work area of the monitor
// under the mouse pointer, as a new window appears where the player looks.
void CentreOnWorkArea(HWND window);

// Makes the window of `shape`, a form laid out in pixels, hidden: a dialog
// of the system's class (#32770) from FrameTemplate, whose messages go to
// `procedure`, which is given `object` with WM_INITDIALOG (see
// DialogObjectOf). The window takes keys as a form (MarkAsForm), has the
// program's icon and its client size, and is left to place its controls
// itself when its density changes. Null, the failure noted, when it cannot be
// made.
HWND CreateFormDialog(const forms::FormShape& shape, DLGPROC procedure, void* object);

// The object a form dialog was made for: stored at WM_INITDIALOG.
template <typename Form> Form* DialogObjectOf(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    }
    return reinterpret_cast<Form*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

// What a dialog procedure returns for a message it handled, whose result is
// `result`.
INT_PTR DialogResult(HWND dialog, LRESULT result);

} // namespace quorvel::win32
