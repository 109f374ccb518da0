#pragma once

// The two detail questions of an installation, asked in dialogs of one shape:
// a word-wrapped label and a row or two of push buttons, all at fixed places.
//
//   Form2, "Texture Detail": High, Medium, Low, Need to go Check
//   Form3, "Model Detail":   Highest, Higher, High, Med, Low, Lowest, Need to go Check
//
// An answer button appends its lines to the install list and closes the
// dialog. "Need to go Check" closes the dialog and sets the abort flag to 1.
// The title-bar close button closes it with no answer. Escape does nothing.

#include "detail_choices.h"
#include "window_system.h"

#include <QDialog>

class QCloseEvent;
class QKeyEvent;
class QShowEvent;

namespace quorvel::ui {

class DetailDialog : public QDialog {
    Q_OBJECT

public:
    // A new dialog, application-modal and without an owner, centred on the
    // screen. `installList` and `abortFlag` must outlive it.
    DetailDialog(DetailDialogKind kind, LineList& installList, AbortFlagValue& abortFlag);

    DetailDialogKind Kind() const { return kind_; }

    // How the dialog ended; ClosedWithoutAnswer while it is still open.
    DialogOutcome Outcome() const { return outcome_; }

    // Does nothing. Escape rejects a QDialog, and this one must stay open
    // until the player picks a button or closes the window.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Answer(const DetailAnswer& answer);
    void NeedToGoCheck();

    DetailDialogKind kind_;
    LineList& installList_;
    AbortFlagValue& abortFlag_;
    DialogOutcome outcome_ = DialogOutcome::ClosedWithoutAnswer;
    bool ended_ = false;
    bool placedWithFrame_ = false;
};

} // namespace quorvel::ui
