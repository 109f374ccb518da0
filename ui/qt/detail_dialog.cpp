#include "ui/qt/detail_dialog.h"

#include "ui/qt/program_font.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/window_placement.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace quorvel::ui {
namespace {

// One control of a dialog, in device-independent pixels of the client area.
struct ControlShape {
    const char* name;
    const char* text;
    QRect box;
    bool isLabel = false;
};

// A dialog's caption, client size and controls, listed in tab order.
struct DialogShape {
    const char* name;
    const char* caption;
    QSize clientSize;
    std::vector<ControlShape> controls;
};

const DialogShape& ShapeOf(DetailDialogKind kind) {
    static const DialogShape texture{
        "Form2",
        "Texture Detail",
        {448, 133},
        {
            {"Label1",
             "Please Select the current TEXTURE DETAIL setting that you are running. If you "
             "change the setting at a later date, you will need to ReRun the QuorvelConfig Setup",
             {40, 8, 377, 65},
             true},
            {"Command1", "High", {16, 88, 81, 25}},
            {"Command2", "Medium", {112, 88, 81, 25}},
            {"Command3", "Low", {208, 88, 81, 25}},
            {"Command4", "Need to go Check", {304, 88, 129, 25}},
        },
    };
    // The lower row reads Med, Lowest, Low from left to right, but Tab takes
    // it as Med, Low, Lowest.
    static const DialogShape model{
        "Form3",
        "Model Detail",
        {463, 157},
        {
            {"Command1", "Highest", {8, 80, 81, 25}},
            {"Label1",
             "Please Select the current MODEL DETAIL setting that you are running. If you "
             "change the setting at a later date, you will need to ReRun the QuorvelConfig Setup",
             {0, 0, 449, 65},
             true},
            {"Command2", "Higher", {112, 80, 81, 25}},
            {"Command3", "High", {216, 80, 81, 25}},
            {"Command4", "Med", {8, 120, 81, 25}},
            {"Command5", "Low", {216, 120, 81, 25}},
            {"Command6", "Lowest", {112, 120, 81, 25}},
            {"Command7", "Need to go Check", {320, 96, 121, 25}},
        },
    };
    return kind == DetailDialogKind::Texture ? texture : model;
}

constexpr qreal kLabelPointSize = 12.0;
// The least space between the instruction and the buttons below it.
constexpr int kLabelGap = 4;
constexpr qreal kButtonPointSize = 9.75;

// An ordinary top-level window with a sizable frame and the usual buttons.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                         Qt::WindowCloseButtonHint;

QLabel* MakeLabel(QWidget* parent, const ControlShape& shape) {
    auto* label = new QLabel(QString::fromLatin1(shape.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(SerifFont(kLabelPointSize, QFont::Bold));
    label->setFocusPolicy(Qt::NoFocus);
    label->setAccessibleName(label->text());
    label->setAccessibleDescription("Answered with one of the buttons below");
    return label;
}

QPushButton* MakeButton(QWidget* parent, const ControlShape& shape) {
    auto* button = new QPushButton(QString::fromLatin1(shape.text), parent);
    button->setFont(SerifFont(kButtonPointSize, QFont::Normal));
    // QDialog would make every push button an "auto default", so that Enter
    // presses whichever button it picks as default. Here Enter presses the
    // focused button and nothing else; the dialog does that itself.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

void FitLabelText(QDialog& dialog, const DialogShape& shape) {
    // With this font the instruction can take one line more than its box
    // holds; rather than cut off its last words, let the box grow down into
    // the free space above the buttons. A text that fits keeps its box.
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("Label1"));
    if (!label) {
        return;
    }
    const QRect box = label->geometry();
    int room = dialog.height();
    for (const ControlShape& control : shape.controls) {
        if (!control.isLabel && control.box.top() > box.top()) {
            room = std::min(room, control.box.top() - box.top() - kLabelGap);
        }
    }
    const int needed = label->heightForWidth(box.width());
    if (needed > box.height()) {
        label->resize(box.width(), std::min(needed, room));
    }
}

} // namespace

DetailDialog::DetailDialog(DetailDialogKind kind) : QDialog(nullptr, kWindowFlags) {
    const DialogShape& shape = ShapeOf(kind);
    setObjectName(QString::fromLatin1(shape.name));
    setWindowTitle(QString::fromLatin1(shape.caption));
    setAccessibleName(windowTitle());
    setWindowIcon(ProgramIcon());
    setWindowModality(Qt::ApplicationModal);
    setModal(true);
    resize(shape.clientSize);

    QWidget* previous = nullptr;
    QWidget* first = nullptr;
    for (const ControlShape& control : shape.controls) {
        QWidget* widget = nullptr;
        if (control.isLabel) {
            widget = MakeLabel(this, control);
            // Read out when the dialog opens, ahead of the buttons.
            setAccessibleDescription(QString::fromLatin1(control.text));
        } else {
            QPushButton* button = MakeButton(this, control);
            const std::string text = control.text;
            if (text == kNeedToGoCheck) {
                connect(button, &QPushButton::clicked, this,
                        [this] { End(DialogOutcome::NeedToCheck, {}); });
            } else {
                if (!FindDetailAnswer(kind, text)) {
                    throw std::logic_error("detail dialog button without an answer: " + text);
                }
                connect(button, &QPushButton::clicked, this,
                        [this, text] { End(DialogOutcome::Answered, text); });
            }
            if (previous) {
                setTabOrder(previous, button);
            } else {
                first = button;
            }
            previous = button;
            widget = button;
        }
        widget->setObjectName(QString::fromLatin1(control.name));
        widget->setGeometry(control.box);
    }
    FitLabelText(*this, shape);
    if (first) {
        first->setFocus(Qt::OtherFocusReason);
    }
    CentreOnScreen(*this);
}

void DetailDialog::reject() {}

void DetailDialog::End(DialogOutcome outcome, std::string answer) {
    if (ended_) {
        return;
    }
    ended_ = true;
    result_ = {outcome, std::move(answer)};
    done(outcome == DialogOutcome::Answered ? QDialog::Accepted : QDialog::Rejected);
}

void DetailDialog::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        // Escape: the dialog stays as it is.
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DetailDialog::closeEvent(QCloseEvent* event) {
    // Only the window's own close comes here: done() closes the dialog
    // without a close event. QDialog's handler would call reject(), which
    // does nothing here, and then refuse to close.
    if (!ended_) {
        ended_ = true;
        result_ = {};
    }
    if (isVisible()) {
        done(QDialog::Rejected);
    }
    event->accept();
}

void DetailDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The frame is known once the window exists; centre the whole window
    // rather than its client area. Only once: a later showing keeps the
    // place the player gave it.
    if (!event->spontaneous() && !placedWithFrame_) {
        placedWithFrame_ = true;
        CentreOnScreen(*this);
    }
}

} // namespace quorvel::ui
