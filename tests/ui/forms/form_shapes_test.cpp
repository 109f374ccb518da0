// The description of the windows that both front ends build from: what it
// must hold for the windows to work (every button does something, every
// answer has its button, nothing overlaps or sticks out), and the one rule
// by which a label grows when its text needs more room.

#include "core/detail_choices.h"
#include "tests/support/control_named.h"
#include "ui/forms/form_shapes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::forms {
namespace {

std::vector<const FormShape*> AllForms() {
    return {&MainForm(), &DetailForm(DetailDialogKind::Texture),
            &DetailForm(DetailDialogKind::Model), &PromptForm()};
}

bool Overlap(const Box& a, const Box& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(FormShapesTest, ControlsAreNamedOnceAndLieApartInsideTheirForm) {
    for (const FormShape* form : AllForms()) {
        std::set<std::string> names;
        for (const ControlShape& control : form->controls) {
            SCOPED_TRACE(std::string(form->name) + " " + control.name);
            EXPECT_TRUE(names.insert(control.name).second);
            const Box& box = control.box;
            EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.width > 0 && box.height > 0 &&
                        box.left + box.width <= form->clientWidth &&
                        box.top + box.height <= form->clientHeight);
            EXPECT_EQ(control.role == ButtonRole::None, control.kind != ControlKind::Button);
            for (const ControlShape& other : form->controls) {
                if (&other != &control && control.kind != ControlKind::HiddenList &&
                    other.kind != ControlKind::HiddenList) {
                    EXPECT_FALSE(Overlap(box, other.box)) << other.name;
                }
            }
        }
    }
}

// What each button of a form does, with the text of an answer or of
// "Need to go Check", which the installer knows by their text.
std::multiset<std::pair<ButtonRole, std::string>> ButtonsOf(const FormShape& form) {
    std::multiset<std::pair<ButtonRole, std::string>> buttons;
    for (const ControlShape& control : form.controls) {
        if (control.kind == ControlKind::Button) {
            const bool told =
                control.role == ButtonRole::Answer || control.role == ButtonRole::NeedToCheck;
            buttons.emplace(control.role, told ? control.text : "");
        }
    }
    return buttons;
}

// Every button does one thing, each answer of a detail dialog has exactly
// one button, and there is nothing else to press.
TEST(FormShapesTest, EachButtonDoesOneThingAndEachAnswerHasItsButton) {
    using Buttons = std::multiset<std::pair<ButtonRole, std::string>>;
    EXPECT_EQ(ButtonsOf(MainForm()), (Buttons{{ButtonRole::Install, ""}, {ButtonRole::Exit, ""}}));
    EXPECT_EQ(ButtonsOf(PromptForm()),
              (Buttons{{ButtonRole::Confirm, ""}, {ButtonRole::Cancel, ""}}));
    for (DetailDialogKind kind : {DetailDialogKind::Texture, DetailDialogKind::Model}) {
        Buttons expected{{ButtonRole::NeedToCheck, std::string(kNeedToGoCheck)}};
        for (const DetailAnswer& answer : DetailAnswers(kind)) {
            expected.emplace(ButtonRole::Answer, answer.button);
        }
        EXPECT_EQ(ButtonsOf(DetailForm(kind)), expected) << DetailForm(kind).name;
    }
    EXPECT_THROW(ControlNamed(MainForm(), "Command3"), std::logic_error);
}

// A screen reader names the prompt's field by the text that comes right
// before it.
TEST(FormShapesTest, PromptTextComesRightBeforeItsField) {
    const auto controls = PromptForm().controls;
    const auto field = std::ranges::find(controls, ControlKind::EditField, &ControlShape::kind);
    ASSERT_TRUE(field != controls.begin() && field != controls.end());
    EXPECT_EQ(std::prev(field)->kind, ControlKind::Text);
}

TEST(FormShapesTest, ScalesToTheNearestPixel) {
    const int cases[][3] = {{539, 96, 539}, {539, 120, 674}, {539, 144, 809},
                            {25, 120, 31},  {350, 192, 700}, {-5, 120, -6}};
    for (const auto& [at96, dpi, scaled] : cases) {
        EXPECT_EQ(ScaleToDpi(at96, dpi), scaled) << at96 << " at " << dpi;
    }
}

// Form2's label (top 8, height 65) has its buttons at 88: it may grow to
// 88 - 8 - 4 = 76. Form3's (top 0, height 65) has a button at 80: to 76.
TEST(FormShapesTest, LabelGrowsOnlyAsFarAsTheControlsBelowIt) {
    // Needed, dpi and height: fits, exactly, one line more, too much, at 144
    // dpi, fits at 144 dpi; then Form3.
    const int cases[][3] = {{40, 96, 65},    {65, 96, 65},  {72, 96, 72}, {200, 96, 76},
                            {200, 144, 114}, {90, 144, 98}, {200, 96, 76}};
    for (int i = 0; i < 7; ++i) {
        const auto [needed, dpi, height] = cases[i];
        const FormShape& form =
            DetailForm(i < 6 ? DetailDialogKind::Texture : DetailDialogKind::Model);
        EXPECT_EQ(LabelHeight(form, ControlNamed(form, "Label1"), needed, dpi), height) << i;
    }
}

} // namespace
} // namespace quorvel::forms
