#pragma once

// The controls of a form, made from a table of their places and fonts at 96
// dots per inch, and placed again whenever the form's density changes.

#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>
#include <windows.h>

namespace quorvel::win32 {

enum class ControlKind { Button, Label, List, HiddenList };

struct FontShape {
    // Hundredths of a point; 0 is the window system's message font.
    int centiPoints = 0;
    int weight = FW_NORMAL;
};

inline constexpr FontShape kWindowFont{};
inline constexpr FontShape SerifFont(int centiPoints, int weight) {
    return FontShape{centiPoints, weight};
}

struct ControlShape {
    int id;
    ControlKind kind;
    const char* text; // ASCII
    int left, top, width, height;
    FontShape font;
};

// A font handle that deletes itself.
struct FontDeleter {
    void operator()(HFONT font) const;
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// A font of the shape at `dpi`: Times New Roman, or the window system's
// message font.
UniqueFont MakeFont(FontShape shape, int dpi);

class FormControls {
public:
    // Makes the controls as children of `form`, in the order given, which is
    // their tab order, and places them for the form's density. A label may
    // grow down, short of the controls below it, when its text needs more
    // lines than its box holds (growLabels).
    void Create(HWND form, std::span<const ControlShape> shapes, bool growLabels);

    // Places the controls and gives them their fonts for `dpi`.
    void Layout(int dpi);

    HWND Control(int id) const;

private:
    void GrowLabel(std::size_t index, int dpi);

    HWND form_ = nullptr;
    bool growLabels_ = false;
    std::vector<ControlShape> shapes_;
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

// Registers a window class of the program once; the windows of the class
// find their object through CREATESTRUCT's parameter (see ObjectOf).
void RegisterFormClass(const wchar_t* name, WNDPROC procedure);

// The object a form procedure was created for: stored at WM_NCCREATE.
template <typename Form> Form* ObjectOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        return form;
    }
    return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

} // namespace quorvel::win32
