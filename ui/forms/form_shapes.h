#pragma once

// The program's windows as data: Form1, the two detail dialogs Form2 and
// Form3, and the folder prompt. Each window's caption and client size, and
// each control's kind, object name, text, box, font and what it does when
// pressed, written once here and read by every front end, which only turns
// them into its toolkit's widgets. Standard C++ only: no toolkit, no system.

#include "platform/window_system.h"

#include <span>

namespace quorvel::forms {

enum class ControlKind {
    Button,
    Label,      // centred, wrapped at word boundaries, never takes the focus
    Text,       // as Label, but aligned to the left
    List,       // one line a row, one column, at most one row selected
    HiddenList, // a list the player never sees and that never takes the focus
    EditField,  // one line of text
};

// What pressing a button does.
enum class ButtonRole {
    None,        // not a button
    Install,     // runs an installation (Form1's Command1)
    Exit,        // closes the main window
    Answer,      // answers the detail dialog with the button's text
    NeedToCheck, // "Need to go Check": closes the dialog without an answer, to stop
    Confirm,     // the prompt's OK: gives back the text in the field
    Cancel,      // the prompt's Cancel: gives back the empty text
};

// The unit of a window's boxes and client size.
enum class LayoutUnit {
    Pixels,      // pixels at 96 dots per inch
    DialogUnits, // the system's dialog units of the window's font
};

// The frame of a window.
enum class Frame {
    Fixed,   // a fixed border: the player cannot resize the window
    Sizable, // an ordinary sizable frame with the usual title-bar buttons
    Dialog,  // a dialog's fixed frame, without minimize or maximize buttons
};

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kRegularWeight = 400;
inline constexpr int kBoldWeight = 700;

struct FontShape {
    // Null: the window system's dialog font, and the other fields unused.
    // The prompt, laid out in dialog units, uses only that font.
    const char* face = nullptr;
    // Hundredths of a point.
    int centiPoints = 0;
    int weight = kRegularWeight;
};

inline constexpr FontShape kSystemFont{};
inline constexpr const char* kSerifFace = "Times New Roman";
// The face used where Times New Roman is missing (as on Linux, or under Wine
// without the Microsoft fonts): it has the same metrics.
inline constexpr const char* kSerifStandIn = "Liberation Serif";
inline constexpr FontShape SerifFont(int centiPoints, int weight) {
    return FontShape{kSerifFace, centiPoints, weight};
}

struct ControlShape {
    const char* name; // the object name, such as "Command1"
    ControlKind kind;
    const char* text; // ASCII; empty for lists and fields
    Box box;
    FontShape font;
    ButtonRole role = ButtonRole::None;
};

struct FormShape {
    const char* name;    // the object name, such as "Form1"
    const char* caption; // empty where the caller gives it (the prompt)
    int clientWidth;
    int clientHeight;
    LayoutUnit unit;
    Frame frame;
    std::span<const ControlShape> controls; // in tab order, which is creation order
};

// Form1, the main window.
const FormShape& MainForm();
// Form2 ("Texture Detail") or Form3 ("Model Detail").
const FormShape& DetailForm(DetailDialogKind kind);
// The one-line folder prompt. Its caption and its label's text are given
// each time it is shown.
const FormShape& PromptForm();
inline constexpr const char* kPromptName = "QuorvelPrompt";

// The space kept between a label grown downwards and the controls below it.
inline constexpr int kLabelGap = 4;

// A length of a pixel layout at `dpi`, rounded to the nearest pixel.
int ScaleToDpi(int pixelsAt96, int dpi);

// The height, in pixels at `dpi`, that `label` of `form` (a pixel layout)
// takes when its text, wrapped to the label's width, needs `neededHeight`
// pixels: its own box where the text fits; otherwise as much more as the
// text needs, down to the gap above the nearest control below it, but never
// less than its box. The front end measures, this decides.
int LabelHeight(const FormShape& form, const ControlShape& label, int neededHeight, int dpi);

} // namespace quorvel::forms
