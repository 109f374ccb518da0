#include "ui/qt/form_builder.h"

#include "ui/qt/program_font.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace quorvel::ui {
namespace {

using forms::ControlKind;
using forms::ControlShape;

// Layout pixels are Qt's device-independent pixels.
constexpr int kLayoutDpi = 96;

QLabel* MakeLabel(QWidget& form, const ControlShape& control) {
    auto* label = new QLabel(QString::fromLatin1(control.text), &form);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(control.kind == ControlKind::Label ? Qt::AlignHCenter | Qt::AlignTop
                                                           : Qt::AlignLeft | Qt::AlignTop);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

QWidget* MakeWidget(QWidget& form, const ControlShape& control) {
    switch (control.kind) {
    case ControlKind::Button:
        return new QPushButton(QString::fromLatin1(control.text), &form);
    case ControlKind::Label:
    case ControlKind::Text:
        return MakeLabel(form, control);
    case ControlKind::List:
    case ControlKind::HiddenList:
        return new QListView(&form);
    case ControlKind::EditField:
        return new QLineEdit(QString::fromLatin1(control.text), &form);
    }
    return new QWidget(&form);
}

} // namespace

QFont FontOf(const forms::FontShape& shape) {
    if (!shape.face) {
        return QFont();
    }
    const auto weight = shape.weight >= forms::kBoldWeight ? QFont::Bold : QFont::Normal;
    return SerifFont(shape.centiPoints / 100.0, weight);
}

std::vector<BuiltControl> BuildControls(QWidget& form, const forms::FormShape& shape) {
    std::vector<BuiltControl> built;
    QWidget* previous = nullptr;
    for (const ControlShape& control : shape.controls) {
        QWidget* widget = MakeWidget(form, control);
        widget->setObjectName(QString::fromLatin1(control.name));
        widget->setGeometry(control.box.left, control.box.top, control.box.width,
                            control.box.height);
        if (control.font.face) {
            widget->setFont(FontOf(control.font));
        }
        if (control.kind == ControlKind::HiddenList) {
            widget->setFocusPolicy(Qt::NoFocus);
            widget->hide();
        } else if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
        }
        built.emplace_back(&control, widget);
    }
    FitLabels(shape, built);
    return built;
}

void FitLabels(const forms::FormShape& shape, const std::vector<BuiltControl>& controls) {
    for (const auto& [control, widget] : controls) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            const int width = control->box.width;
            const int needed = label->heightForWidth(width);
            label->resize(width, forms::LabelHeight(shape, *control, needed, kLayoutDpi));
        }
    }
}

} // namespace quorvel::ui
