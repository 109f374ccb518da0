#include "ui/win32/dialog_template.h"

#include "ui/win32/control_ids.h"
#include "ui/win32/form.h"
#include "ui/win32/wide_text.h"

#include <stdexcept>
#include <string>

namespace quorvel::win32 {
namespace {

// The predefined classes of a dialog item, by atom.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kListBoxAtom = 0x0083;

class TemplateWriter {
public:
    void Word(WORD value) { words_.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Short(int value) { Word(static_cast<WORD>(static_cast<short>(value))); }
    void Text(const char* text) {
        for (wchar_t letter : Widen(text)) {
            Word(static_cast<WORD>(letter));
        }
        Word(0);
    }
    // Items start on a DWORD boundary.
    void AlignToDword() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(words_); }

private:
    std::vector<WORD> words_;
};

WORD AtomOf(forms::ControlKind kind) {
    switch (kind) {
    case forms::ControlKind::Button:
        return kButtonAtom;
    case forms::ControlKind::EditField:
        return kEditAtom;
    case forms::ControlKind::List:
    case forms::ControlKind::HiddenList:
        return kListBoxAtom;
    case forms::ControlKind::Label:
    case forms::ControlKind::Text:
        return kStaticAtom;
    }
    return kStaticAtom;
}

void WriteItem(TemplateWriter& out, const forms::ControlShape& control) {
    out.AlignToDword();
    out.Dword(0); // help ID
    out.Dword(0); // extended style
    out.Dword(ControlStyle(control));
    out.Short(control.box.left);
    out.Short(control.box.top);
    out.Short(control.box.width);
    out.Short(control.box.height);
    out.Dword(static_cast<DWORD>(ControlId(control.name)));
    out.Word(0xFFFF);
    out.Word(AtomOf(control.kind));
    out.Text(control.text);
    out.Word(0); // no creation data
}

// The template's header: the dialog class, no menu, `count` items.
void WriteHeader(TemplateWriter& out, DWORD style, DWORD exStyle, int count, int width, int height,
                 const char* caption) {
    out.Word(1);      // version
    out.Word(0xFFFF); // extended template
    out.Dword(0);     // help ID
    out.Dword(exStyle);
    out.Dword(style);
    out.Word(static_cast<WORD>(count));
    out.Short(0);
    out.Short(0);
    out.Short(width);
    out.Short(height);
    out.Word(0); // no menu
    out.Word(0); // the dialog class
    out.Text(caption);
}

} // namespace

std::vector<WORD> DialogTemplate(const forms::FormShape& form) {
    if (form.unit != forms::LayoutUnit::DialogUnits) {
        throw std::logic_error(std::string(form.name) + " is not laid out in dialog units");
    }
    TemplateWriter out;
    WriteHeader(out, FrameStyle(form.frame), WS_EX_APPWINDOW,
                static_cast<int>(form.controls.size()), form.clientWidth, form.clientHeight,
                form.caption);
    // DS_SHELLFONT: the system's dialog font, 8 points.
    out.Word(8);
    out.Word(FW_NORMAL);
    out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET)); // not italic; the character set
    out.Text("MS Shell Dlg");
    for (const forms::ControlShape& control : form.controls) {
        WriteItem(out, control);
    }
    return out.Take();
}

std::vector<WORD> FrameTemplate(const forms::FormShape& form) {
    if (form.unit != forms::LayoutUnit::Pixels) {
        throw std::logic_error(std::string(form.name) + " is not laid out in pixels");
    }
    // No DS_SETFONT: the controls get their fonts when they are made.
    TemplateWriter out;
    WriteHeader(out, FrameStyle(form.frame), 0, 0, 0, 0, form.caption);
    return out.Take();
}

} // namespace quorvel::win32
