#include "ui/qt/detail_dialog.h"

#include "ui/qt/form_builder.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/window_placement.h"

#include <string>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace quorvel::ui {
namespace {

// An ordinary top-level window with a sizable frame and the usual buttons.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                         Qt::WindowCloseButtonHint;

void SetUpLabel(QLabel* label) {
    label->setAccessibleName(label->text());
    label->setAccessibleDescription("Answered with one of the buttons below");
}

void SetUpButton(QPushButton* button) {
    // QDialog would make every push button an "auto default", so that Enter
    // presses whichever button it picks as default. Here Enter presses the
    // focused button and nothing else; the dialog does that itself.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
}

} // namespace

DetailDialog::DetailDialog(DetailDialogKind kind) : QDialog(nullptr, kWindowFlags) {
    const forms::FormShape& shape = forms::DetailForm(kind);
    setObjectName(QString::fromLatin1(shape.name));
    setWindowTitle(QString::fromLatin1(shape.caption));
    setAccessibleName(windowTitle());
    setWindowIcon(ProgramIcon());
    setWindowModality(Qt::ApplicationModal);
    setModal(true);
    resize(shape.clientWidth, shape.clientHeight);

    QWidget* first = nullptr;
    for (const auto& [control, widget] : BuildControls(*this, shape)) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            SetUpLabel(label);
            // Read out when the dialog opens, ahead of the buttons.
            setAccessibleDescription(label->text());
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            SetUpButton(button);
            first = first ? first : button;
            if (control->role == forms::ButtonRole::NeedToCheck) {
                connect(button, &QPushButton::clicked, this,
                        [this] { End(DialogOutcome::NeedToCheck, {}); });
            } else if (control->role == forms::ButtonRole::Answer) {
                connect(button, &QPushButton::clicked, this,
                        [this, text = std::string(control->text)] {
                            End(DialogOutcome::Answered, text);
                        });
            }
        }
    }
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
