#pragma once

// Turns a form of the description (ui/forms/form_shapes.h) into Qt widgets:
// each control at its box, with its object name, text and font, in tab order.
// The windows add what only they know: list models, what a button does.

#include "ui/forms/form_shapes.h"

#include <utility>
#include <vector>

#include <QFont>

class QWidget;

namespace quorvel::ui {

// A control of the description and the widget made for it.
using BuiltControl = std::pair<const forms::ControlShape*, QWidget*>;

// The font of the shape: Times New Roman (or its stand-in), or the
// application's own font.
QFont FontOf(const forms::FontShape& shape);

// Makes the controls of `shape` as children of `form` (QPushButton, QLabel,
// QListView, QLineEdit), in the order given, which becomes their tab order.
// The hidden list is hidden and never takes the focus; labels never do.
std::vector<BuiltControl> BuildControls(QWidget& form, const forms::FormShape& shape);

// Gives each label of `controls` the height forms::LabelHeight decides for
// the text it holds now.
void FitLabels(const forms::FormShape& shape, const std::vector<BuiltControl>& controls);

} // namespace quorvel::ui
