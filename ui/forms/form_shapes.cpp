#include "ui/forms/form_shapes.h"

#include "core/detail_choices.h"
#include "core/identity.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quorvel::forms {
namespace {

using Kind = ControlKind;
using Role = ButtonRole;

// Two spaces before "a custom.cfg" and one at the end, as the game's players
// have always read it.
constexpr const char* kExplanation =
    "This program will add the quorvel config settings to the custom.cfg file or will "
    "create  a custom.cfg file if one does not exist. ";

// Tab goes Command1, List1, Command2; the labels and the hidden List2 sit
// between them in creation order but never take the focus.
constexpr std::array<ControlShape, 6> kMainControls{{
    {"Command1",
     Kind::Button,
     "Install Quorvel Config",
     {280, 320, 137, 25},
     kSystemFont,
     Role::Install},
    {"Label1",
     Kind::Label,
     "Current Custom.cfg settings",
     {16, 16, 505, 25},
     SerifFont(1425, kRegularWeight)},
    {"List1", Kind::List, "", {16, 48, 505, 194}, SerifFont(1200, kRegularWeight)},
    {"Command2", Kind::Button, "Exit", {432, 320, 81, 25}, kSystemFont, Role::Exit},
    {"List2", Kind::HiddenList, "", {16, 319, 97, 17}, kSystemFont},
    {"Label2", Kind::Label, kExplanation, {16, 264, 505, 41}, SerifFont(1200, kBoldWeight)},
}};

constexpr FontShape kInstructionFont = SerifFont(1200, kBoldWeight);
constexpr FontShape kButtonFont = SerifFont(975, kRegularWeight);

constexpr std::array<ControlShape, 5> kTextureControls{{
    {"Label1",
     Kind::Label,
     "Please Select the current TEXTURE DETAIL setting that you are running. If you change the "
     "setting at a later date, you will need to ReRun the QuorvelConfig Setup",
     {40, 8, 377, 65},
     kInstructionFont},
    {"Command1", Kind::Button, "High", {16, 88, 81, 25}, kButtonFont, Role::Answer},
    {"Command2", Kind::Button, "Medium", {112, 88, 81, 25}, kButtonFont, Role::Answer},
    {"Command3", Kind::Button, "Low", {208, 88, 81, 25}, kButtonFont, Role::Answer},
    {"Command4",
     Kind::Button,
     kNeedToGoCheck.data(),
     {304, 88, 129, 25},
     kButtonFont,
     Role::NeedToCheck},
}};

// The lower row reads Med, Lowest, Low from left to right, but Tab takes it
// as Med, Low, Lowest.
constexpr std::array<ControlShape, 8> kModelControls{{
    {"Command1", Kind::Button, "Highest", {8, 80, 81, 25}, kButtonFont, Role::Answer},
    {"Label1",
     Kind::Label,
     "Please Select the current MODEL DETAIL setting that you are running. If you change the "
     "setting at a later date, you will need to ReRun the QuorvelConfig Setup",
     {0, 0, 449, 65},
     kInstructionFont},
    {"Command2", Kind::Button, "Higher", {112, 80, 81, 25}, kButtonFont, Role::Answer},
    {"Command3", Kind::Button, "High", {216, 80, 81, 25}, kButtonFont, Role::Answer},
    {"Command4", Kind::Button, "Med", {8, 120, 81, 25}, kButtonFont, Role::Answer},
    {"Command5", Kind::Button, "Low", {216, 120, 81, 25}, kButtonFont, Role::Answer},
    {"Command6", Kind::Button, "Lowest", {112, 120, 81, 25}, kButtonFont, Role::Answer},
    {"Command7",
     Kind::Button,
     kNeedToGoCheck.data(),
     {320, 96, 121, 25},
     kButtonFont,
     Role::NeedToCheck},
}};

// A one-line prompt as Windows programs have long shown it: the text at the
// left, OK and Cancel at the right, the field below. The text comes right
// before the field, so that the field is known by it.
constexpr std::array<ControlShape, 4> kPromptControls{{
    {"PromptText", Kind::Text, "", {7, 7, 186, 40}, kSystemFont},
    {"PromptEdit", Kind::EditField, "", {7, 57, 246, 14}, kSystemFont},
    {"OK", Kind::Button, "OK", {203, 7, 50, 14}, kSystemFont, Role::Confirm},
    {"Cancel", Kind::Button, "Cancel", {203, 25, 50, 14}, kSystemFont, Role::Cancel},
}};

} // namespace

const FormShape& MainForm() {
    static const FormShape form{"Form1",      kMainWindowCreationCaption, 539,
                                350,          LayoutUnit::Pixels,         Frame::Fixed,
                                kMainControls};
    return form;
}

const FormShape& DetailForm(DetailDialogKind kind) {
    static const FormShape texture{"Form2",        "Texture Detail", 448, 133, LayoutUnit::Pixels,
                                   Frame::Sizable, kTextureControls};
    static const FormShape model{"Form3",        "Model Detail", 463, 157, LayoutUnit::Pixels,
                                 Frame::Sizable, kModelControls};
    return kind == DetailDialogKind::Texture ? texture : model;
}

const FormShape& PromptForm() {
    static const FormShape form{kPromptName,    "", 260, 78, LayoutUnit::DialogUnits, Frame::Dialog,
                                kPromptControls};
    return form;
}

int ScaleToDpi(int pixelsAt96, int dpi) {
    // Rounded half away from zero, as the window system scales.
    const std::int64_t product = std::int64_t{pixelsAt96} * dpi;
    const std::int64_t half = product < 0 ? -48 : 48;
    return static_cast<int>((product + half) / 96);
}

int LabelHeight(const FormShape& form, const ControlShape& label, int neededHeight, int dpi) {
    const int height = ScaleToDpi(label.box.height, dpi);
    if (neededHeight <= height) {
        return height;
    }
    int room = neededHeight;
    for (const ControlShape& other : form.controls) {
        if (other.kind != ControlKind::Label && other.box.top > label.box.top) {
            room = std::min(room, ScaleToDpi(other.box.top - label.box.top - kLabelGap, dpi));
        }
    }
    return std::max(height, room);
}

} // namespace quorvel::forms
